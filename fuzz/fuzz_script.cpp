// libFuzzer target: any text through the RicScript reader, and what it reads through the writer.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FileIO.h"
#include "RicScript.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    tavlin::RICElementList list = tavlin::ParseRicScript(text, "/nonexistent/fuzz.rs");
    std::string written = tavlin::RicScriptText(list);
    tavlin::ParseRicScript(written, "/nonexistent/again.rs");
  } catch (const tavlin::TavlinError&) {
  }
  return 0;
}
