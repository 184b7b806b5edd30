// The editor as the user waits for it: the real window, offscreen, sent the
// real input events; each iteration ends when every posted event, the
// deferred redraws and the repaint included, has been processed. Run with
// QT_QPA_PLATFORM=offscreen (`make bench` sets it).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "Document.h"
#include "DrawGrid.h"
#include "NxtImage.h"
#include "RICElement.h"
#include "ScriptedDialogs.h"
#include "Tavlin_main.h"

namespace {

using namespace tavlin;

// A mixed document of about 262,144 bytes: a sprite, CopyBits of it, and
// Pixels, Lines, Rectangles, Circles and NumBoxes spread over the screen.
// Last comes the element the interaction works on, of kind `last`; its
// end point follows parameter 0.
void FillMixedDocument(RICElementKind last) {
  ElementList[NewSprite(1)]->UsedArea = TRect{0, 0, 31, 15};
  for (int i = 0; ComputeFileSize() < 262144 - 400; ++i) {
    for (int k = 0; k < 100; ++k, ++i) {
      const auto x = RICArgument((i * 37) % 100), y = RICArgument((i * 11) % 64);
      switch (i % 6) {
        case 0:
          NewPixel(0, x, y);
          break;
        case 1:
          NewLine(0, x, y, RICArgument(99 - x), RICArgument(63 - y));
          break;
        case 2:
          NewRectangle(0, x, y, RICArgument(i % 30), RICArgument(i % 20));
          break;
        case 3:
          NewCircle(0, x, y, RICArgument(i % 25));
          break;
        case 4:
          NewNumBox(0, x, y, RICArgument(i % 1000));
          break;
        default:
          NewCopyBits(0, 1, 0, 0, 32, 16, x, y);
      }
    }
  }
  if (last == RICElementKind::Rectangle) NewRectangle(0, 10, 10, 20, 20);
  if (last == RICElementKind::Circle) NewCircle(0, 50, 32, 10);
  if (last == RICElementKind::Line) NewLine(0, 0, 0, 0xF000, 40);
}

class Editor {
 public:
  explicit Editor(RICElementKind last) : window_(StartEditor(dialogs_)) {
    FillMixedDocument(last);
    TheDocument().MarkSaved();
    window_->SetListRows(ElementList.Count());
    window_->SelectElement(ElementList.Count() - 1);
    window_->RefreshDocumentView();
    if (!QTest::qWaitForWindowExposed(window_.get())) qFatal("the window is not shown");
    Settle();
  }
  ~Editor() { TheDocument().MarkSaved(); }  // no question when the window goes
  TForm_Tavlin& Window() { return *window_; }
  // Every posted event, those posted while the others ran too.
  static void Settle() {
    for (int pass = 0; pass < 3; ++pass) {
      QCoreApplication::sendPostedEvents();
      QCoreApplication::processEvents();
    }
  }
  // Times `act` (one input event) and everything it leads to.
  template <class Act>
  void Run(benchmark::State& state, Act act) {
    Settle();
    const int renders = window_->DocumentRenders();
    int step = 0;
    for (auto _ : state) {
      act(++step);
      Settle();
    }
    state.counters["renders_per_event"] =
        double(window_->DocumentRenders() - renders) / double(state.iterations());
    state.counters["elements"] = ElementList.Count();
    state.counters["bytes"] = ComputeFileSize();
  }

 private:
  ScriptedDialogs dialogs_;
  std::unique_ptr<TForm_Tavlin> window_;
};

// Mouse position over NXT point (x, y) on a page picture.
QPoint OnScreen(const QWidget* image, int x, int y) {
  const int z = (image->width() - 2) / 100;
  return QPoint(1 + z * x + z / 2, 1 + z * (63 - y) + z / 2);
}

// A drag on a page picture: one pointer move per iteration.
void Drag(benchmark::State& state, Editor& editor, QWidget* image) {
  QTest::mousePress(image, Qt::LeftButton, {}, OnScreen(image, 10, 10));
  editor.Run(state, [image](int step) {
    QTest::mouseMove(image, OnScreen(image, 20 + step % 60, 5 + step % 50));
  });
  QTest::mouseRelease(image, Qt::LeftButton, {}, OnScreen(image, 20, 20));
}

void BM_Editor_RectangleDrag(benchmark::State& state) {
  Editor editor(RICElementKind::Rectangle);
  Drag(state, editor, editor.Window().Image_Rectangle);
}
BENCHMARK(BM_Editor_RectangleDrag)->Unit(benchmark::kMillisecond);

void BM_Editor_LineDrag(benchmark::State& state) {
  Editor editor(RICElementKind::Line);
  Drag(state, editor, editor.Window().Image_Line);
}
BENCHMARK(BM_Editor_LineDrag)->Unit(benchmark::kMillisecond);

void BM_Editor_CircleDrag(benchmark::State& state) {
  Editor editor(RICElementKind::Circle);
  Drag(state, editor, editor.Window().Image_Circle);
}
BENCHMARK(BM_Editor_CircleDrag)->Unit(benchmark::kMillisecond);

void BM_Editor_PreviewDrag(benchmark::State& state) {
  Editor editor(RICElementKind::Line);
  QTest::mouseClick(editor.Window().SpeedButton_Preview, Qt::LeftButton);
  Drag(state, editor, editor.Window().Image_Preview);
}
BENCHMARK(BM_Editor_PreviewDrag)->Unit(benchmark::kMillisecond);

// The Up key on parameter 0, which the selected Line's end follows; the
// argument is 1 in preview mode.
void BM_Editor_ParameterChange(benchmark::State& state) {
  Editor editor(RICElementKind::Line);
  if (state.range(0)) QTest::mouseClick(editor.Window().SpeedButton_Preview, Qt::LeftButton);
  QSpinBox* spin = editor.Window().SpinEdit_Param[0];
  spin->setFocus();
  editor.Run(state, [spin](int step) {
    QTest::keyClick(spin, step % 80 < 40 ? Qt::Key_Up : Qt::Key_Down);
  });
}
BENCHMARK(BM_Editor_ParameterChange)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Preview and Modify in turn, by their buttons.
void BM_Editor_PreviewModifySwitch(benchmark::State& state) {
  Editor editor(RICElementKind::Line);
  TForm_Tavlin& w = editor.Window();
  editor.Run(state, [&w](int step) {
    QTest::mouseClick(step % 2 ? w.SpeedButton_Preview : w.SpeedButton2, Qt::LeftButton);
  });
}
BENCHMARK(BM_Editor_PreviewModifySwitch)->Unit(benchmark::kMillisecond);

// Home and End in turn on the element list: the first and the last element.
void BM_Editor_SelectFarRow(benchmark::State& state) {
  Editor editor(RICElementKind::Line);
  QWidget* grid = editor.Window().DrawGrid_RIC;
  grid->setFocus();
  editor.Run(state,
             [grid](int step) { QTest::keyClick(grid, step % 2 ? Qt::Key_Home : Qt::Key_End); });
}
BENCHMARK(BM_Editor_SelectFarRow)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The window keeps its settings in a scratch folder, never the user's own.
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
