// RenderDocument of the benchmark documents of bench/data/ (made by
// tools/make-bench-documents.py: a large mixed picture and the costliest one
// we could construct, both 262,144 bytes), of the largest legal document of
// lines, circles and copy-bits, of a typical picture, and of a hostile one
// whose shapes are huge; painting the zoomed display of the element pages; and a
// 1,000-frame parameter sweep of the largest document encoded as a GIF; and the
// brick renderer on the benchmark documents, LEGO and enhanced 1.32.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "BrickRenderer.h"
#include "DisplayImage.h"
#include "FrameRenderer.h"
#include "GifWriter.h"
#include "ParameterSweep.h"
#include "RICInterpreter.h"
#include "RicFile.h"

namespace {

using namespace tavlin;

// A sprite of 100 x 64 pixels with a pattern of black, white and grey.
ElementPtr PatternSprite(std::uint16_t id) {
  ElementPtr s = MakeSprite(id);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 100; ++x) s->Canvas.SetPixel(x, y, (x * y + x) % 3 == 0 ? kBlack : kWhite);
  s->UsedArea = {0, 0, 99, 63};
  return s;
}

// Encodes and decodes the list, so the benchmark renders what a file gives.
RICElementList AsReadFromFile(const RICElementList& list, std::size_t* bytes = nullptr) {
  const std::vector<std::uint8_t> data = EncodeRic(list);
  if (bytes) *bytes = data.size();
  return DecodeRic(data.data(), data.size());
}

// Lines, circles and copy-bits of on-screen sizes, a fifth of their
// arguments parameter references, filling exactly 262,144 bytes.
RICElementList LargestDocument() {
  std::mt19937 rng(1);
  auto in = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
  auto arg = [&](int low, int high) -> RICArgument {
    return in(0, 4) == 0 ? EncodeParameter(unsigned(in(0, 7)))
                         : EncodeConstant(unsigned(in(low, high)));
  };
  RICElementList list;
  list.Add(PatternSprite(1));  // 10 + 64 x 13 = 842 bytes
  std::size_t size = 842;
  for (int i = 0; size + 46 <= kRicBufferSize - 22; ++i) {
    list.Add(MakeLine(0, arg(0, 110), arg(0, 70), arg(0, 110), arg(0, 70)));  // 14
    list.Add(MakeCircle(0, arg(0, 99), arg(0, 63), arg(1, 30)));              // 12
    list.Add(MakeCopyBits(0, 1, arg(0, 60), arg(0, 40), arg(1, 40), arg(1, 24), arg(0, 99),
                          arg(0, 63)));  // 20
    size += 46;
  }
  list.Add(MakeDescription(0, 100, 64));  // 10
  list.Add(MakeCircle(0, 50, 32, 20));    // 12
  std::size_t bytes = 0;
  RICElementList read = AsReadFromFile(list, &bytes);
  if (bytes != kRicBufferSize) {
    std::fprintf(stderr, "largest document is %zu bytes, not %zu\n", bytes, kRicBufferSize);
    std::abort();
  }
  return read;
}

// What a picture usually holds: a frame, a gauge, a few numbers and an icon.
RICElementList TypicalDocument() {
  RICElementList list;
  list.Add(MakeDescription(0, 100, 64));
  list.Add(PatternSprite(1));
  ElementPtr map = MakeVarMap(1, 0);
  map->Points = {{0, 0}, {100, 40}, {200, 45}};
  list.Add(std::move(map));
  list.Add(MakeRectangle(0, 0, 0, 99, 63));
  list.Add(MakeRectangle(0, 2, 2, 95, 59));
  for (int i = 0; i < 8; ++i)
    list.Add(MakeLine(0, 10, unsigned(8 + 6 * i), 90, unsigned(8 + 6 * i)));
  list.Add(MakeLine(0, 50, 32, EncodeMapped(1, 0), 60));
  list.Add(MakeCircle(0, 50, 32, 25));
  list.Add(MakeCircle(0, 50, 32, 2));
  list.Add(MakeNumBox(0, 4, 56, EncodeParameter(0)));
  list.Add(MakeNumBox(0, 60, 56, EncodeParameter(1)));
  list.Add(MakeCopyBits(0, 1, 0, 0, 16, 16, 80, 4));
  list.Add(MakeCopyBits(0, 1, EncodeParameter(2), 0, 16, 16, 4, 4));
  for (int i = 0; i < 10; ++i) list.Add(MakePixel(0, unsigned(20 + 5 * i), 3));
  return AsReadFromFile(list);
}

// Every element as large as 12-bit constants allow, crossing the screen.
RICElementList HostileDocument() {
  RICElementList list;
  list.Add(PatternSprite(1));
  std::size_t size = 842;
  while (size + 46 <= kRicBufferSize) {
    list.Add(MakeLine(0, 0, 0, 4095, 4095));
    list.Add(MakeCircle(0, 50, 4095, 4063));  // the bottom of its arc touches (50, 32)
    list.Add(MakeCopyBits(0, 1, 0, 0, 4095, 4095, 0, 0));
    size += 46;
  }
  return AsReadFromFile(list);
}

// A document of bench/data/, read as the editor opens it.
RICElementList DataDocument(const char* name) {
  // This file's folder: __FILE__ is relative to the folder the compiler ran
  // in, which is the one the benchmark program is built in.
  std::filesystem::path source(__FILE__);
  if (source.is_relative())
    source = std::filesystem::read_symlink("/proc/self/exe").parent_path() / source;
  const std::filesystem::path path = source.parent_path() / "data" / name;
  std::ifstream in(path, std::ios::binary);
  const std::vector<std::uint8_t> data{std::istreambuf_iterator<char>(in), {}};
  if (data.size() != kRicBufferSize) {
    std::fprintf(stderr, "%s: %zu bytes, not %zu (run tools/make-bench-documents.py)\n",
                 path.string().c_str(), data.size(), kRicBufferSize);
    std::abort();
  }
  return DecodeRic(data.data(), data.size());
}

// The largest document of ellipses whose long arcs cross the screen, each
// quadrant about 8,000 steps long: `anyArc` false, all of them at the top of
// the quadrant's walk; true, in turn there, where the arc runs at 45 degrees
// and at the steep end.
RICElementList EllipseDocument(bool anyArc = false) {
  RICElementList list;
  for (std::size_t size = 0, n = 0; size + 14 <= kRicBufferSize; size += 14, ++n) {
    switch (anyArc ? n % 3 : 0) {
      case 0:
        list.Add(MakeEllipse(0, 50, 4095, 4095, 4063));  // the bottom of its arc touches (50, 32)
        break;
      case 1:
        list.Add(MakeEllipse(0, 2950, 2900, 4095, 4095));  // down-left through (50, 32)
        break;
      default:
        list.Add(MakeEllipse(0, 4095, 32, 4050, 4000));  // its left end at (45, 32)
        break;
    }
  }
  return AsReadFromFile(list);
}

// The largest document of ellipses no two alike, their radii 2,000 to
// 2,900, each placed so that its arc runs through (50, 32) and on across the
// screen, in turn at a slope of 1/2, 1 and 2: the walk steps point by point
// there, and the arcs, all but alike on the screen, never decide it.
RICElementList DistinctEllipseDocument() {
  RICElementList list;
  for (std::size_t size = 0, n = 0; size + 14 <= kRicBufferSize; size += 14, ++n) {
    const double a = 2000 + double(n % 97) * 9, b = 2000 + double(n / 97 % 97) * 9;
    const double slope = n % 3 == 0 ? 0.5 : n % 3 == 1 ? 1.0 : 2.0;
    // The point of the outline where it runs at that slope, down to the left
    // of the centre.
    const double angle = std::atan2(b, a * slope);
    list.Add(MakeEllipse(0, unsigned(std::lround(50 + a * std::cos(angle))),
                         unsigned(std::lround(32 + b * std::sin(angle))), unsigned(a),
                         unsigned(b)));
  }
  return AsReadFromFile(list);
}

TParameterSet BenchParameters() {
  TParameterSet p{};
  for (int i = 0; i < 8; ++i) p[std::size_t(i)] = std::uint16_t(7 * i + 5);
  return p;
}

// Renders the document again and again; `elements` tells its size.
void RenderLoop(benchmark::State& state, const RICElementList& list) {
  const TParameterSet params = BenchParameters();
  NXTDisplay display;
  for (auto _ : state) {
    RenderDocument(display, 0, 0, list, params);
    benchmark::DoNotOptimize(display.Pixels());
  }
  state.counters["elements"] = list.Count();
}

void BM_RenderDocument_Mixed(benchmark::State& state) {
  RenderLoop(state, DataDocument("mixed.ric"));
}
BENCHMARK(BM_RenderDocument_Mixed)->Unit(benchmark::kMillisecond);

void BM_RenderDocument_Costliest(benchmark::State& state) {
  RenderLoop(state, DataDocument("costliest.ric"));
}
BENCHMARK(BM_RenderDocument_Costliest)->Unit(benchmark::kMillisecond);

// The brick renderer on the same documents, as the bytes they are written as,
// passing the benchmark parameters: the range of variants from the LEGO
// firmware (which stops at the first circle) to the enhanced 1.32.
void BrickLoop(benchmark::State& state, const char* name, BrickVariant variant) {
  const std::vector<std::uint8_t> bytes = EncodeRic(DataDocument(name));
  const TParameterSet params = BenchParameters();
  BrickCall call;
  call.Variant = variant;
  call.Parameters.assign(params.begin(),
                         params.begin() + (variant == BrickVariant::Lego ? 16 : 256));
  NXTDisplay display;
  for (auto _ : state) {
    RenderBrick(display, bytes.data(), bytes.size(), call);
    benchmark::DoNotOptimize(display.Pixels());
  }
}

void BM_RenderBrick_Mixed(benchmark::State& state) {
  BrickLoop(state, "mixed.ric", BrickVariant(state.range(0)));
}
BENCHMARK(BM_RenderBrick_Mixed)
    ->ArgName("variant")
    ->Arg(int(BrickVariant::Lego))
    ->Arg(int(BrickVariant::Enhanced132))
    ->Unit(benchmark::kMillisecond);

void BM_RenderBrick_Costliest(benchmark::State& state) {
  BrickLoop(state, "costliest.ric", BrickVariant(state.range(0)));
}
BENCHMARK(BM_RenderBrick_Costliest)
    ->ArgName("variant")
    ->Arg(int(BrickVariant::Lego))
    ->Arg(int(BrickVariant::Enhanced132))
    ->Unit(benchmark::kMillisecond);

// The largest file of ellipses as wide as constants make them (radii up to
// 4095, where the brick's 32-bit arithmetic overflows), their arcs crossing
// the screen at 45 degrees, every other one filled, all inverting: nothing
// is ever decided, so every one is walked. `radii` distinct pairs of radii:
// a picture uses a few; all different, no walk is met twice.
std::vector<std::uint8_t> HugeArcsBytes(int radii) {
  std::vector<std::uint8_t> bytes;
  auto words = [&](std::initializer_list<int> ws) {
    for (int w : ws) {
      bytes.push_back(std::uint8_t(w));
      bytes.push_back(std::uint8_t(w >> 8));
    }
  };
  words({8, 0, 0, 100, 64});
  for (int i = 0; bytes.size() + 14 <= kRicBufferSize; ++i) {
    const int k = i % radii, a = 4095 - k % 1000, b = 4095 - k / 1000;
    words({12, 9, i % 2 ? 0x38 : 0x18, 50 + a * 7071 / 10000, 31 + b * 7071 / 10000, a, b});
  }
  return bytes;
}

void BM_RenderBrick_HugeArcs(benchmark::State& state) {
  const std::vector<std::uint8_t> bytes = HugeArcsBytes(int(state.range(0)));
  BrickCall call;
  NXTDisplay display;
  for (auto _ : state) {
    RenderBrick(display, bytes.data(), bytes.size(), call);
    benchmark::DoNotOptimize(display.Pixels());
  }
}
BENCHMARK(BM_RenderBrick_HugeArcs)
    ->ArgName("radii")
    ->Arg(30)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond);

void BM_RenderDocument_Largest(benchmark::State& state) { RenderLoop(state, LargestDocument()); }
BENCHMARK(BM_RenderDocument_Largest)->Unit(benchmark::kMillisecond);

void BM_RenderDocument_Typical(benchmark::State& state) { RenderLoop(state, TypicalDocument()); }
BENCHMARK(BM_RenderDocument_Typical)->Unit(benchmark::kMicrosecond);

void BM_RenderDocument_HugeShapes(benchmark::State& state) { RenderLoop(state, HostileDocument()); }
BENCHMARK(BM_RenderDocument_HugeShapes)->Unit(benchmark::kMillisecond);

void BM_RenderDocument_HugeEllipses(benchmark::State& state) {
  RenderLoop(state, EllipseDocument());
}
BENCHMARK(BM_RenderDocument_HugeEllipses)->Unit(benchmark::kMillisecond);

void BM_RenderDocument_HugeEllipsesAnyArc(benchmark::State& state) {
  RenderLoop(state, EllipseDocument(true));
}
BENCHMARK(BM_RenderDocument_HugeEllipsesAnyArc)->Unit(benchmark::kMillisecond);

void BM_RenderDocument_HugeEllipsesDistinct(benchmark::State& state) {
  RenderLoop(state, DistinctEllipseDocument());
}
BENCHMARK(BM_RenderDocument_HugeEllipsesDistinct)->Unit(benchmark::kMillisecond);

void BM_PaintZoomedDisplay_Page(benchmark::State& state) {
  NXTDisplay display;
  RenderDocument(display, 0, 0, TypicalDocument(), BenchParameters());
  RgbImage image(602, 386);
  for (auto _ : state) {
    PaintZoomedDisplay(display, image);
    benchmark::DoNotOptimize(image.Pixels.data());
  }
}
BENCHMARK(BM_PaintZoomedDisplay_Page)->Unit(benchmark::kMicrosecond);

// What `tavlin-cli render --sweep 0=0..999 --sweep 1=63..0 OUT.gif` does,
// without the file write: 1,000 renders of the largest document on all
// cores, each encoded as a GIF frame. CPU time is that of all threads.
void BM_SweepToGif_Largest1000(benchmark::State& state) {
  const RICElementList list = LargestDocument();
  const std::vector<ParameterSweep> sweeps = {{0, 0, 999, 1}, {1, 63, 0, 1}};
  const int frames = SweepFrameCount(sweeps);
  std::size_t bytes = 0;
  const TParameterSet base = BenchParameters();
  for (auto _ : state) {
    GifAnimationWriter gif(1, GifDelayForFps(10));
    RenderFramesInOrder(
        frames,
        [&](int frame, NXTDisplay& display) {
          TParameterSet params = base;
          ApplySweeps(sweeps, frame, params);
          RenderDocument(display, 0, 0, list, params);
        },
        [&](int, const NXTDisplay& display) { gif.AddFrame(display); });
    bytes = gif.Finish().size();
  }
  state.counters["frames"] = frames;
  state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_SweepToGif_Largest1000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// The GIF encoding of that sweep alone, its frames drawn beforehand.
void BM_GifEncode_Largest1000(benchmark::State& state) {
  const RICElementList list = LargestDocument();
  std::vector<NXTDisplay> displays(50);
  TParameterSet params = BenchParameters();
  for (std::size_t i = 0; i < displays.size(); ++i) {
    params[0] = std::uint16_t(i * 2);
    RenderDocument(displays[i], 0, 0, list, params);
  }
  for (auto _ : state) {
    GifAnimationWriter gif(1, GifDelayForFps(10));
    for (int frame = 0; frame < 1000; ++frame) gif.AddFrame(displays[std::size_t(frame) % 50]);
    benchmark::DoNotOptimize(gif.Finish().size());
  }
}
BENCHMARK(BM_GifEncode_Largest1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
