// libFuzzer target: any bytes through the RIC reader and back through the writer.
#include <cstddef>
#include <cstdint>

#include "FileIO.h"
#include "RicFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > tavlin::kRicBufferSize) size = tavlin::kRicBufferSize;
  tavlin::RICElementList list = tavlin::DecodeRic(data, size);
  try {
    std::vector<std::uint8_t> bytes = tavlin::EncodeRic(list);
    tavlin::RICElementList again = tavlin::DecodeRic(bytes.data(), bytes.size());
    if (tavlin::EncodeRic(again) != bytes) __builtin_trap();  // one round settles a file
  } catch (const tavlin::TavlinError&) {
  }
  return 0;
}
