// The sprite editor's canvas work over the full canvas: composing the view,
// a flood fill of the whole canvas, and the memory of 50 undo snapshots. A
// shape drag as the user waits for it is in editor/editor_bench.cpp.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <deque>
#include <optional>
#include <vector>

#include "SpriteTools.h"

namespace {

using namespace tavlin;

constexpr int W = SpriteCanvas::kWidth;
constexpr int H = SpriteCanvas::kHeight;

// A full-canvas sprite with a busy picture: every tile holds pixels of its own.
SpriteCanvas BusyCanvas() {
  SpriteCanvas c;
  TRect used = kUnsetRect;
  ExtendUsedArea(c, used, 0, 0, W - 1, H - 1);
  for (int y = 0; y < H; y += 3) DrawLine(c, 0, y, W - 1, (y * 7) % H, kBlackIndex);
  return c;
}

// Composing the view alone at each zoom, with a mark and a floating picture.
void BM_ComposeView(benchmark::State& state) {
  const SpriteCanvas canvas = BusyCanvas();
  FloatingPicture f = LiftArea(canvas, {0, 0, 199, 199});
  std::vector<std::uint32_t> view(std::size_t(kViewWidth) * kViewHeight);
  SpriteViewState v;
  v.Zoom = int(state.range(0));
  v.Marked = {10, 10, 300, 300};
  v.Floating = &f;
  v.FloatingX = 50;
  v.FloatingY = 50;
  for (auto _ : state) {
    ComposeSpriteView(canvas, v, view.data(), kViewWidth);
    benchmark::DoNotOptimize(view.data());
  }
}
BENCHMARK(BM_ComposeView)->ArgName("zoom")->Arg(1)->Arg(6)->Arg(24)->Unit(benchmark::kMillisecond);

// A fill of the whole white canvas, tile copies for the undo sharing included.
void BM_FloodFillWholeCanvas(benchmark::State& state) {
  SpriteCanvas white;
  TRect used = kUnsetRect;
  ExtendUsedArea(white, used, 0, 0, W - 1, H - 1);
  SpriteCanvas canvas;
  for (auto _ : state) {
    state.PauseTiming();
    canvas = white;
    state.ResumeTiming();
    benchmark::DoNotOptimize(FloodFill(canvas, W / 2, H / 2, kBlackIndex));
  }
}
BENCHMARK(BM_FloodFillWholeCanvas)->Unit(benchmark::kMillisecond);

// A fill through a maze of one-pixel corridors: many short runs.
void BM_FloodFillMaze(benchmark::State& state) {
  SpriteCanvas maze;
  TRect used = kUnsetRect;
  ExtendUsedArea(maze, used, 0, 0, W - 1, H - 1);
  for (int x = 1; x < W; x += 2)
    DrawLine(maze, x, (x / 2) % 2 ? 0 : 1, x, (x / 2) % 2 ? H - 2 : H - 1, kBlackIndex);
  SpriteCanvas canvas;
  for (auto _ : state) {
    state.PauseTiming();
    canvas = maze;
    state.ResumeTiming();
    benchmark::DoNotOptimize(FloodFill(canvas, 0, 0, kBlackIndex));
  }
}
BENCHMARK(BM_FloodFillMaze)->Unit(benchmark::kMillisecond);

std::size_t HeapInUse() { return mallinfo2().uordblks; }

// As the sprite page keeps them: the newest a canvas copy, older ones packed.
struct Snapshot {
  std::optional<SpriteCanvas> Canvas;
  PackedCanvas Packed;
  TRect UsedArea;
};

// 50 presses, each pushing a snapshot (packing the one before) and then drawing: heap held by the
// stack and the canvas, in MiB. Typical edits: a full-canvas line or ellipse each; worst case:
// every press refills the whole canvas, so no tile is shared.
void BM_UndoSnapshots(benchmark::State& state) {
  const bool worst = state.range(0) == 1;
  double mib = 0;
  for (auto _ : state) {
    std::size_t before = HeapInUse();
    {
      SpriteCanvas canvas;
      TRect used = kUnsetRect;
      ExtendUsedArea(canvas, used, 0, 0, W - 1, H - 1);
      std::deque<Snapshot> stack;
      for (int i = 0; i < 50; ++i) {
        if (!stack.empty()) {
          stack.back().Packed = PackedCanvas(*stack.back().Canvas);
          stack.back().Canvas.reset();
        }
        stack.push_back({canvas, PackedCanvas(), used});
        if (worst)
          FloodFill(canvas, 0, 0, i % 2 ? kWhiteIndex : kBlackIndex);
        else if (i % 2)
          DrawLine(canvas, 0, i, W - 1, H - 1 - i, kBlackIndex);
        else
          DrawEllipseShape(canvas, i, i, W - 1 - i, H - 1 - i, kBlackIndex, false);
      }
      mib = double(HeapInUse() - before) / (1024.0 * 1024.0);
      benchmark::DoNotOptimize(stack.size());
    }
  }
  state.counters["MiB"] = mib;
}
BENCHMARK(BM_UndoSnapshots)
    ->ArgName("worst")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
