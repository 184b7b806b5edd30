// Reading a script whose IMPORT items name their picture by a long way round
// ("A/../A/../.../A/PIC.BMP", upper-cased, the folder spelt "a") beside
// 20,000 other files: a 4 KB script of ten such items.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "RicScript.h"

namespace {

using namespace tavlin;
namespace fs = std::filesystem;

// A 1 x 1 black 24-bit BMP.
void WriteTinyBmp(const std::string& path) {
  const std::uint8_t bmp[58] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0,  54, 0, 0, 0, 40, 0, 0, 0, 1,
                                0,   0,   0,  1, 0, 0, 0, 1, 0, 24, 0,  0, 0, 0, 0,  4, 0, 0, 0};
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bmp), sizeof bmp);
}

class DetourFolder {
 public:
  DetourFolder() {
    std::string pattern = (fs::temp_directory_path() / "tavlin-bench-XXXXXX").string();
    dir_ = ::mkdtemp(pattern.data());
    for (int i = 0; i < 20000; ++i) std::ofstream(dir_ / ("entry" + std::to_string(i)));
    fs::create_directory(dir_ / "a");
    WriteTinyBmp((dir_ / "a" / "pic.bmp").string());
    std::string detour;
    for (int i = 0; i < 80; ++i) detour += "A/../";
    while (script_.size() + detour.size() + 64 <= 4096)
      script_ += "sprite(1, import(\"" + detour + "A/PIC.BMP\", 50, 1, 1))\n";
  }
  ~DetourFolder() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string ScriptPath() const { return (dir_ / "s.rs").string(); }
  const std::string& Script() const { return script_; }

 private:
  fs::path dir_;
  std::string script_;
};

void BM_ImportByALongWayRound(benchmark::State& state) {
  static const DetourFolder folder;
  for (auto _ : state) {
    RICElementList list = ParseRicScript(folder.Script(), folder.ScriptPath());
    benchmark::DoNotOptimize(list);
  }
  state.counters["script_bytes"] = double(folder.Script().size());
}
BENCHMARK(BM_ImportByALongWayRound)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
