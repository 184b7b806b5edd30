// libFuzzer target: any text through the RicScript reader, its IMPORT items
// finding real small pictures in a scratch folder, and what it reads through
// the writer and the reader again, until the text stays the same.
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
    // The first writing may change a word's form (a reference tag other
    // than 0xF reads back as 0xF); one round settles a script.
    const std::string once = tavlin::RicScriptText(list);
    // A full-canvas sprite writes a megabyte of rows; the rounds would only
    // repeat the same rows within the time limit.
    if (once.size() > 65536) return 0;
    const std::string twice = tavlin::RicScriptText(tavlin::ParseRicScript(once, "once.rs"));
    if (tavlin::RicScriptText(tavlin::ParseRicScript(twice, "twice.rs")) != twice) __builtin_trap();
  } catch (const tavlin::TavlinError&) {
  }
  return 0;
}
