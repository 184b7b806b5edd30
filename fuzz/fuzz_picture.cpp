// libFuzzer target: any bytes through one picture decoder (TAVLIN_DECODER:
// DecodeBmp, DecodePng, DecodeJpeg or DecodeGif). A decoded picture is within
// the size limits and holds exactly its pixels.
#include <cstddef>
#include <cstdint>

#include "FileIO.h"
#include "PictureDecode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const tavlin::Picture p = tavlin::TAVLIN_DECODER(data, size, "fuzz");
    if (p.Width < 1 || p.Height < 1 || p.Width > tavlin::kMaxPictureSide ||
        p.Height > tavlin::kMaxPictureSide ||
        p.Pixels.size() != std::size_t(p.Width) * std::size_t(p.Height))
      __builtin_trap();
  } catch (const tavlin::TavlinError&) {
  }
  return 0;
}
