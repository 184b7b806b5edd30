// Reading and writing the largest RIC files: 262,144 bytes of drawing
// elements (decode, load, encode, save), and opening one made of
// single-pixel sprites in a fresh process, with its peak memory as a counter.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "DrawingDocument.h"
#include "RICElement.h"
#include "RicFile.h"

namespace {

using namespace tavlin;
namespace fs = std::filesystem;

// 21,845 sprites of one row of one byte (12 bytes each with the pad byte),
// then two zero words: 262,144 bytes.
std::vector<std::uint8_t> SpriteFileBytes() {
  std::vector<std::uint8_t> b;
  auto word = [&](unsigned w) {
    b.push_back(std::uint8_t(w));
    b.push_back(std::uint8_t(w >> 8));
  };
  while (b.size() + 12 <= kRicBufferSize) {
    for (unsigned w : {10u, 1u, 1u + unsigned(b.size() / 12) % 10, 1u, 1u}) word(w);
    b.push_back(0x80);
    b.push_back(0);
  }
  while (b.size() < kRicBufferSize) b.push_back(0);
  return b;
}

// A folder for the files, removed when the program ends.
class BenchFolder {
 public:
  BenchFolder() {
    std::string pattern = (fs::temp_directory_path() / "tavlin-bench-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~BenchFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

const BenchFolder& Folder() {
  static BenchFolder folder;
  return folder;
}

const std::vector<std::uint8_t>& DrawingBytes() {
  static const std::vector<std::uint8_t> bytes = EncodeRic(bench::DrawingDocument());
  return bytes;
}

std::string WrittenFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  std::string path = Folder().File(name);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return path;
}

double Milliseconds(clockid_t clock) {
  timespec t{};
  ::clock_gettime(clock, &t);
  return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// What the child of BM_OpenSingleSpriteFile measured.
struct ChildTimes {
  double openMs = 0, releaseMs = 0, cpuMs = 0, sprites = 0, canvasMiB = 0;
};

// A first open in a fresh process: a child forked from this one (which holds
// no document) reads the file into a heap that has never held it, so every
// page fault counts, then releases the document as the next open does. The
// time is the child's open and release; cpu_ms is the child's CPU time for
// both (the CPU column is this process's, which only waits); the peak is the
// child's whole resident set.
void BM_OpenSingleSpriteFile(benchmark::State& state) {
  static const std::string path = WrittenFile("sprites.ric", SpriteFileBytes());
  ChildTimes sum;
  double peakMiB = 0;
  for (auto _ : state) {
    int fds[2];
    if (::pipe(fds) != 0) {
      state.SkipWithError("pipe failed");
      break;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::close(fds[0]);
      ChildTimes t;
      const double wall0 = Milliseconds(CLOCK_MONOTONIC);
      const double cpu0 = Milliseconds(CLOCK_PROCESS_CPUTIME_ID);
      RICElementList ElementList;
      ReadRicFile(ElementList, path, true);
      const double wall1 = Milliseconds(CLOCK_MONOTONIC);
      const double cpu1 = Milliseconds(CLOCK_PROCESS_CPUTIME_ID);
      t.sprites = ElementList.Count();
      for (const auto& e : ElementList) t.canvasMiB += double(e->Canvas.MemoryBytes());
      t.canvasMiB /= 1024.0 * 1024.0;
      const double wall2 = Milliseconds(CLOCK_MONOTONIC);
      const double cpu2 = Milliseconds(CLOCK_PROCESS_CPUTIME_ID);
      ClearElements(ElementList);
      t.openMs = wall1 - wall0;
      t.releaseMs = Milliseconds(CLOCK_MONOTONIC) - wall2;
      t.cpuMs = cpu1 - cpu0 + Milliseconds(CLOCK_PROCESS_CPUTIME_ID) - cpu2;
      const bool sent = ::write(fds[1], &t, sizeof t) == ssize_t(sizeof t);
      ::_exit(sent ? 0 : 1);  // no exit handlers: they belong to this process
    }
    ::close(fds[1]);
    ChildTimes t;
    const bool received = pid > 0 && ::read(fds[0], &t, sizeof t) == ssize_t(sizeof t);
    ::close(fds[0]);
    rusage usage{};
    int status = 0;
    if (pid > 0) ::wait4(pid, &status, 0, &usage);
    if (!received || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("the child did not report");
      break;
    }
    state.SetIterationTime((t.openMs + t.releaseMs) / 1e3);
    sum.openMs += t.openMs;
    sum.releaseMs += t.releaseMs;
    sum.cpuMs += t.cpuMs;
    sum.sprites = t.sprites;
    sum.canvasMiB = t.canvasMiB;
    peakMiB = std::max(peakMiB, double(usage.ru_maxrss) / 1024.0);  // kilobytes on Linux
  }
  const double n = double(std::max<benchmark::IterationCount>(state.iterations(), 1));
  state.counters["open_ms"] = sum.openMs / n;
  state.counters["release_ms"] = sum.releaseMs / n;
  state.counters["cpu_ms"] = sum.cpuMs / n;
  state.counters["sprites"] = sum.sprites;
  state.counters["canvas_MiB"] = sum.canvasMiB;
  state.counters["peak_rss_MiB"] = peakMiB;
}
BENCHMARK(BM_OpenSingleSpriteFile)->UseManualTime()->Unit(benchmark::kMillisecond);

// Open while the same document is open: the old one is released too.
void BM_ReopenSingleSpriteFile(benchmark::State& state) {
  static const std::string path = WrittenFile("sprites.ric", SpriteFileBytes());
  RICElementList ElementList;
  ReadRicFile(ElementList, path, true);
  for (auto _ : state) {
    ReadRicFile(ElementList, path, true);
    benchmark::DoNotOptimize(ElementList.Count());
  }
  ClearElements(ElementList);
}
BENCHMARK(BM_ReopenSingleSpriteFile)->Unit(benchmark::kMillisecond);

void BM_DecodeRic(benchmark::State& state) {
  const auto& bytes = DrawingBytes();
  for (auto _ : state) {
    RICElementList list = DecodeRic(bytes.data(), bytes.size());
    benchmark::DoNotOptimize(list.Count());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes.size()));
}
BENCHMARK(BM_DecodeRic)->Unit(benchmark::kMillisecond);

// The densest legal file: 32,768 VarMaps of eight bytes each (size word 6,
// no points), the most elements 262,144 bytes can hold.
void BM_DecodeRic_Densest(benchmark::State& state) {
  std::vector<std::uint8_t> bytes;
  for (unsigned i = 0; bytes.size() < kRicBufferSize; ++i)
    for (unsigned w : {6u, 2u, i % 256, 0u}) {
      bytes.push_back(std::uint8_t(w));
      bytes.push_back(std::uint8_t(w >> 8));
    }
  for (auto _ : state) {
    RICElementList list = DecodeRic(bytes.data(), bytes.size());
    benchmark::DoNotOptimize(list.Count());
  }
  state.counters["elements"] = double(DecodeRic(bytes.data(), bytes.size()).Count());
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes.size()));
}
BENCHMARK(BM_DecodeRic_Densest)->Unit(benchmark::kMillisecond);

void BM_LoadRicFile(benchmark::State& state) {
  static const std::string path = WrittenFile("drawing.ric", DrawingBytes());
  for (auto _ : state) {
    RICElementList list = LoadRicFile(path);
    benchmark::DoNotOptimize(list.Count());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kRicBufferSize));
}
BENCHMARK(BM_LoadRicFile)->Unit(benchmark::kMillisecond);

void BM_EncodeRic(benchmark::State& state) {
  RICElementList list = bench::DrawingDocument();
  for (auto _ : state) {
    std::vector<std::uint8_t> bytes = EncodeRic(list);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kRicBufferSize));
}
BENCHMARK(BM_EncodeRic)->Unit(benchmark::kMillisecond);

// Includes the temporary file, its flush to the disk and the rename.
void BM_SaveRicFile(benchmark::State& state) {
  RICElementList list = bench::DrawingDocument();
  std::string path = Folder().File("saved.ric");
  for (auto _ : state) SaveRicFile(path, list);
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kRicBufferSize));
}
BENCHMARK(BM_SaveRicFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
