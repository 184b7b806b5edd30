// libFuzzer target: any bytes through the picture decoders (BMP, PNG, JPEG, GIF).
#include <cstddef>
#include <cstdint>

#include "FileIO.h"
#include "Picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    tavlin::DecodePicture(data, size, "fuzz");
  } catch (const tavlin::TavlinError&) {
  }
  return 0;
}
