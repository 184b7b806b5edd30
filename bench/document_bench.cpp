// The document's history on the largest documents: the memory 500 steps
// hold (heap in use after minus before, as a counter), and the time of one
// undo and redo.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <memory>

#include "Document.h"
#include "DrawingDocument.h"
#include "SpriteTools.h"

namespace {

using namespace tavlin;

constexpr int kSteps = 500;

double HeapMiB() { return double(mallinfo2().uordblks) / (1024.0 * 1024.0); }

// One step of each kind in turn, spread over the document.
void MixedStep(RICDocument& doc, int i) {
  RICElementList& list = doc.ElementList();
  const int n = list.Count();
  switch (i % 5) {
    case 0: {
      TRICElement* e = list[(i * 37) % n];
      doc.Track(e);
      e->PosX = RICArgument(i % 100);
      doc.ElementEdited(e, "Change PosX");
      break;
    }
    case 1:
      doc.Insert((i * 53) % n, MakeLine(0, 1, 2, 3, 4), "Add Line");
      break;
    case 2:
      doc.Remove((i * 71) % n, "Delete Line");
      break;
    case 3:
      doc.Move((i * 13) % n, (i * 29) % n, "Move Line");
      break;
    case 4:
      doc.Exchange((i * 17) % n, (i * 41) % n, "Move Line");
      break;
  }
}

void BM_History500StepsLargestDocument(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto doc = std::make_unique<RICDocument>();
    doc->Reset(bench::DrawingDocument(), "largest.ric");
    const double before = HeapMiB();
    state.ResumeTiming();
    for (int i = 0; i < kSteps; ++i) MixedStep(*doc, i);
    state.PauseTiming();
    state.counters["history_MiB"] = HeapMiB() - before;
    doc.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_History500StepsLargestDocument)->Unit(benchmark::kMillisecond)->Iterations(3);

// 500 strokes across a whole 1024 x 512 sprite canvas, each one step.
void BM_History500SpriteStrokes(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto doc = std::make_unique<RICDocument>();
    RICElementList start;
    start.Add(MakeSprite(1));
    doc->Reset(std::move(start), "sprite.ric");
    TRICElement* sprite = doc->ElementList()[0];
    sprite->Canvas.FillRect(0, 0, SpriteCanvas::kWidth - 1, SpriteCanvas::kHeight - 1,
                            PaletteColour(kWhiteIndex));
    doc->Track(sprite);
    const double before = HeapMiB();
    state.ResumeTiming();
    for (int i = 0; i < kSteps; ++i) {
      const int y = (i * 7) % SpriteCanvas::kHeight;
      for (int x = 0; x < SpriteCanvas::kWidth; ++x)  // a stroke from edge to edge
        sprite->Canvas.SetPixelIndex(x, (y + x / 2) % SpriteCanvas::kHeight,
                                     i % 2 ? kBlackIndex : kWhiteIndex);
      doc->ElementEdited(sprite, "Pencil");
    }
    state.PauseTiming();
    state.counters["history_MiB"] = HeapMiB() - before;
    doc.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_History500SpriteStrokes)->Unit(benchmark::kMillisecond)->Iterations(3);

// Undo and redo of one step, after 500 steps, on the largest document.
void BM_UndoRedoOneStepLargestDocument(benchmark::State& state) {
  RICDocument doc;
  doc.Reset(bench::DrawingDocument(), "largest.ric");
  for (int i = 0; i < kSteps; ++i) MixedStep(doc, i);
  for (auto _ : state) {
    doc.Undo();
    doc.Redo();
  }
}
BENCHMARK(BM_UndoRedoOneStepLargestDocument)->Unit(benchmark::kMicrosecond);

// The costliest single step to take back: the first element removed and put back.
void BM_UndoRedoDeleteFirstLargestDocument(benchmark::State& state) {
  RICDocument doc;
  doc.Reset(bench::DrawingDocument(), "largest.ric");
  doc.Remove(0, "Delete Line");
  for (auto _ : state) {
    doc.Undo();
    doc.Redo();
  }
}
BENCHMARK(BM_UndoRedoDeleteFirstLargestDocument)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
