// The editor as the user waits for it: the real window, offscreen, sent the
// real input events; each iteration ends when every posted event, the
// deferred redraws and the repaint included, has been processed. Run with
// QT_QPA_PLATFORM=offscreen (`make bench` sets it).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <memory>

#include "CopyBitsPage.h"
#include "Document.h"
#include "DrawGrid.h"
#include "NxtImage.h"
#include "RICElement.h"
#include "ScriptedDialogs.h"
#include "SpritePage.h"
#include "SpriteView.h"
#include "Tavlin_main.h"

namespace {

using namespace tavlin;

// A document of bench/data/ (made by tools/make-bench-documents.py), found
// beside this source file.
QString DataFile(const char* name) {
  // __FILE__ is relative to the folder the compiler ran in, the one the
  // benchmark program is built in.
  std::filesystem::path source(__FILE__);
  if (source.is_relative())
    source = std::filesystem::read_symlink("/proc/self/exe").parent_path() / source;
  return QString::fromStdString((source.parent_path().parent_path() / "data" / name).string());
}

// The last element of `kind`, or the last element for the Description kind.
int LastOf(RICElementKind kind) {
  for (int i = ElementList.Count() - 1; i > 0; --i)
    if (kind == RICElementKind::Description || ElementList[i]->Kind == kind) return i;
  return ElementList.Count() - 1;
}

// The editor with a document of bench/data/ open and the last element of
// `kind` selected: the one the interaction works on.
class Editor {
 public:
  Editor(const char* file, RICElementKind kind) : window_(StartEditor(dialogs_)) {
    if (!window_->OpenRicFile(DataFile(file)) || ComputeFileSize() != 262144)
      qFatal("%s does not open as a 262,144-byte document (run tools/make-bench-documents.py)",
             qPrintable(DataFile(file)));
    window_->SelectElement(LastOf(kind));
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

// Each interaction on the largest mixed document and on the costliest one.
#define ON_BOTH_DOCUMENTS(bm)                                               \
  BENCHMARK_CAPTURE(bm, Mixed, "mixed.ric")->Unit(benchmark::kMillisecond); \
  BENCHMARK_CAPTURE(bm, Costliest, "costliest.ric")->Unit(benchmark::kMillisecond)

void BM_Editor_RectangleDrag(benchmark::State& state, const char* file) {
  Editor editor(file, RICElementKind::Rectangle);
  Drag(state, editor, editor.Window().Image_Rectangle);
}
ON_BOTH_DOCUMENTS(BM_Editor_RectangleDrag);

void BM_Editor_LineDrag(benchmark::State& state, const char* file) {
  Editor editor(file, RICElementKind::Line);
  Drag(state, editor, editor.Window().Image_Line);
}
ON_BOTH_DOCUMENTS(BM_Editor_LineDrag);

void BM_Editor_CircleDrag(benchmark::State& state, const char* file) {
  Editor editor(file, RICElementKind::Circle);
  Drag(state, editor, editor.Window().Image_Circle);
}
ON_BOTH_DOCUMENTS(BM_Editor_CircleDrag);

void BM_Editor_PreviewDrag(benchmark::State& state, const char* file) {
  Editor editor(file, RICElementKind::Line);
  QTest::mouseClick(editor.Window().SpeedButton_Preview, Qt::LeftButton);
  Drag(state, editor, editor.Window().Image_Preview);
}
ON_BOTH_DOCUMENTS(BM_Editor_PreviewDrag);

// The same drags drawn as the enhanced firmware draws the file's bytes: the
// document is encoded once per redraw, and the page, the output and the
// checks run from those bytes.
void BM_Editor_BrickRectangleDrag(benchmark::State& state, const char* file) {
  Editor editor(file, RICElementKind::Rectangle);
  editor.Window().SetDisplayMode(DisplayMode::BrickEnhanced132);
  Drag(state, editor, editor.Window().Image_Rectangle);
}
ON_BOTH_DOCUMENTS(BM_Editor_BrickRectangleDrag);

void BM_Editor_BrickPreviewDrag(benchmark::State& state, const char* file) {
  Editor editor(file, RICElementKind::Line);
  editor.Window().SetDisplayMode(DisplayMode::BrickEnhanced132);
  QTest::mouseClick(editor.Window().SpeedButton_Preview, Qt::LeftButton);
  Drag(state, editor, editor.Window().Image_Preview);
}
ON_BOTH_DOCUMENTS(BM_Editor_BrickPreviewDrag);

// The destination view of the CopyBits page: each move places the copy.
void BM_Editor_CopyBitsDrag(benchmark::State& state, const char* file) {
  Editor editor(file, RICElementKind::CopyBits);
  if (editor.Window().PageControl_Edit->currentWidget() != editor.Window().TabSheet_Edit_CopyBits)
    return state.SkipWithError("the CopyBits page is not shown");
  Drag(state, editor, editor.Window().TabSheet_Edit_CopyBits->Image_CopyBits_Destination);
}
ON_BOTH_DOCUMENTS(BM_Editor_CopyBitsDrag);

// The Line tool of the Sprite page, chosen by its button, dragged on the sprite.
void BM_Editor_SpriteLineDrag(benchmark::State& state, const char* file) {
  Editor editor(file, RICElementKind::Sprite);
  TSpritePage* page = editor.Window().TabSheet_Edit_Sprite;
  QTest::mouseClick(page->SpeedButton_Sprite_Line, Qt::LeftButton);
  if (editor.Window().PageControl_Edit->currentWidget() != page || page->SpriteToolValue() != 2)
    return state.SkipWithError("the Line tool of the Sprite page is not chosen");
  Drag(state, editor, page->Image_Sprite);
}
ON_BOTH_DOCUMENTS(BM_Editor_SpriteLineDrag);

// The last row of the element list dragged up by one row and back: each move
// exchanges two elements.
void BM_Editor_ReorderDrag(benchmark::State& state, const char* file) {
  Editor editor(file, RICElementKind::Description);
  TDrawGrid* grid = editor.Window().DrawGrid_RIC;
  const int last = ElementList.Count();
  QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(1, last).center());
  editor.Run(state, [grid, last](int step) {
    QTest::mouseMove(grid->viewport(), grid->CellRect(1, last - step % 2).center());
  });
  QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(1, last).center());
}
ON_BOTH_DOCUMENTS(BM_Editor_ReorderDrag);

// The Up key on parameter 0 with the last Line selected; the argument is 1
// in preview mode.
void BM_Editor_ParameterChange(benchmark::State& state, const char* file) {
  Editor editor(file, RICElementKind::Line);
  if (state.range(0)) QTest::mouseClick(editor.Window().SpeedButton_Preview, Qt::LeftButton);
  QSpinBox* spin = editor.Window().SpinEdit_Param[0];
  spin->setFocus();
  editor.Run(state, [spin](int step) {
    QTest::keyClick(spin, step % 80 < 40 ? Qt::Key_Up : Qt::Key_Down);
  });
}
BENCHMARK_CAPTURE(BM_Editor_ParameterChange, Mixed, "mixed.ric")
    ->ArgName("preview")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Editor_ParameterChange, Costliest, "costliest.ric")
    ->ArgName("preview")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

// Preview and Modify in turn, by their buttons.
void BM_Editor_PreviewModifySwitch(benchmark::State& state, const char* file) {
  Editor editor(file, RICElementKind::Line);
  TForm_Tavlin& w = editor.Window();
  editor.Run(state, [&w](int step) {
    QTest::mouseClick(step % 2 ? w.SpeedButton_Preview : w.SpeedButton2, Qt::LeftButton);
  });
}
ON_BOTH_DOCUMENTS(BM_Editor_PreviewModifySwitch);

// Home and End in turn on the element list: the first and the last element.
void BM_Editor_SelectFarRow(benchmark::State& state, const char* file) {
  Editor editor(file, RICElementKind::Line);
  QWidget* grid = editor.Window().DrawGrid_RIC;
  grid->setFocus();
  editor.Run(state,
             [grid](int step) { QTest::keyClick(grid, step % 2 ? Qt::Key_Home : Qt::Key_End); });
}
ON_BOTH_DOCUMENTS(BM_Editor_SelectFarRow);

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
