// libFuzzer target: any text through the RicScript reader, its IMPORT items
// finding real small pictures in a scratch folder, and what it reads through
// the writer and the reader again, which must give the same text.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "FileIO.h"
#include "FuzzSupport.h"
#include "RicScript.h"

namespace fs = std::filesystem;

namespace {

// The pictures of the seeds' IMPORT items, one of each format.
const fs::path& ScriptPath() {
  static const fs::path path = [] {
    const fs::path& folder = tavlin::fuzz::ScratchFolder();
    for (const char* name : {"ramp.png", "pattern.gif", "pattern-24.bmp", "blocks.jpg"})
      fs::copy_file(fs::path(TAVLIN_PICTURES) / name, folder / name);
    return folder / "fuzz.rs";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    const tavlin::RICElementList list = tavlin::ParseRicScript(text, ScriptPath().string());
    const std::string written = tavlin::RicScriptText(list);
    const tavlin::RICElementList again = tavlin::ParseRicScript(written, "again.rs");
    if (tavlin::RicScriptText(again) != written) __builtin_trap();
  } catch (const tavlin::TavlinError&) {
  }
  return 0;
}
