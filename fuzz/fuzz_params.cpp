// libFuzzer target: any bytes as a parameter file. What it reads is written
// out and must read back to the same values.
#include <cstddef>
#include <cstdint>
#include <fstream>

#include "FileIO.h"
#include "FuzzSupport.h"
#include "ParameterFile.h"

namespace {

void Put(const std::string& path, const void* data, std::size_t size) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(static_cast<const char*>(data), std::streamsize(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = (tavlin::fuzz::ScratchFolder() / "Tavlin.RPA").string();
  Put(path, data, size);
  tavlin::TParameterSet set{};
  try {
    tavlin::ReadParameterFile(path, set);
  } catch (const tavlin::TavlinError&) {
  }
  // As the editor writes it at close, without waiting for the disk each time.
  const std::string text = tavlin::ParameterFileText(path, set, "01.01.2026 00:00:00");
  Put(path, text.data(), text.size());
  tavlin::TParameterSet again{};
  tavlin::ReadParameterFile(path, again);
  if (again != set) __builtin_trap();
  return 0;
}
