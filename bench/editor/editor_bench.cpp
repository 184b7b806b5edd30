// The editor as the user waits for it: the real window, offscreen, sent the
// real input events; each iteration ends when every posted event, the
// deferred redraws and the repaint included, has been processed. Run with
// QT_QPA_PLATFORM=offscreen (`make bench` sets it).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

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
int LastOf(const RICElementList& list, RICElementKind kind) {
  for (int i = list.Count() - 1; i > 0; --i)
    if (kind == RICElementKind::Description || list[i]->Kind == kind) return i;
  return list.Count() - 1;
}

// The editor with a document of bench/data/ open and the last element of
// `kind` selected: the one the interaction works on.
class Editor {
 public:
  Editor(const char* file, RICElementKind kind) : window_(StartEditor(dialogs_)) {
    if (!window_->OpenRicFile(DataFile(file)) || ComputeFileSize(Elements()) != 262144)
      qFatal("%s does not open as a 262,144-byte document (run tools/make-bench-documents.py)",
             qPrintable(DataFile(file)));
    window_->SelectElement(LastOf(Elements(), kind));
    if (!QTest::qWaitForWindowExposed(window_.get())) qFatal("the window is not shown");
    Settle();
  }
  ~Editor() { window_->Document().MarkSaved(); }  // no question when the window goes
  TForm_Tavlin& Window() { return *window_; }
  // The window's widget of that name.
  template <class T>
  T* Find(const char* name) const {
    return FindChild<T>(window_.get(), name);
  }
  const RICElementList& Elements() const { return window_->Document().ElementList(); }
  // Every posted event, those posted while the others ran too.
  static void Settle() {
    for (int pass = 0; pass < 3; ++pass) {
      QCoreApplication::sendPostedEvents();
      QCoreApplication::processEvents();
    }
  }
  // Times `act` (one input event) and everything it leads to; `reset`, untimed,
  // sets the next iteration up.
  template <class Act, class Reset = std::nullptr_t>
  void Run(benchmark::State& state, Act act, Reset reset = nullptr) {
    Settle();
    int renders = 0, step = 0;
    for (auto _ : state) {
      const int before = window_->DocumentRenders();
      act(++step);
      Settle();
      renders += window_->DocumentRenders() - before;
      if constexpr (!std::is_null_pointer_v<Reset>) {
        state.PauseTiming();
        reset(step);
        Settle();
        state.ResumeTiming();
      }
    }
    state.counters["renders_per_event"] = double(renders) / double(state.iterations());
    state.counters["elements"] = Elements().Count();
    state.counters["bytes"] = ComputeFileSize(Elements());
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

// Each interaction with an argument on both documents.
#define WITH_ARG_ON_BOTH_DOCUMENTS(bm, name)        \
  BENCHMARK_CAPTURE(bm, Mixed, "mixed.ric")         \
      ->ArgName(name)                               \
      ->Arg(0)                                      \
      ->Arg(1)                                      \
      ->Unit(benchmark::kMillisecond);              \
  BENCHMARK_CAPTURE(bm, Costliest, "costliest.ric") \
      ->ArgName(name)                               \
      ->Arg(0)                                      \
      ->Arg(1)                                      \
      ->Unit(benchmark::kMillisecond)

void BM_Editor_RectangleDrag(benchmark::State& state, const char* file) {
  Editor editor(file, RICElementKind::Rectangle);
  Drag(state, editor, editor.Window().findChild<TNxtImage*>("Image_Rectangle"));
}
ON_BOTH_DOCUMENTS(BM_Editor_RectangleDrag);

void BM_Editor_LineDrag(benchmark::State& state, const char* file) {
  Editor editor(file, RICElementKind::Line);
  Drag(state, editor, editor.Window().findChild<TNxtImage*>("Image_Line"));
}
ON_BOTH_DOCUMENTS(BM_Editor_LineDrag);

void BM_Editor_CircleDrag(benchmark::State& state, const char* file) {
  Editor editor(file, RICElementKind::Circle);
  Drag(state, editor, editor.Window().findChild<TNxtImage*>("Image_Circle"));
}
ON_BOTH_DOCUMENTS(BM_Editor_CircleDrag);

void BM_Editor_PreviewDrag(benchmark::State& state, const char* file) {
  Editor editor(file, RICElementKind::Line);
  QTest::mouseClick(editor.Find<QToolButton>("SpeedButton_Preview"), Qt::LeftButton);
  Drag(state, editor, editor.Find<TNxtImage>("Image_Preview"));
}
ON_BOTH_DOCUMENTS(BM_Editor_PreviewDrag);

// The same drags drawn as the enhanced firmware draws the file's bytes: the
// document is encoded once per redraw, and the page, the output and the
// checks run from those bytes.
void BM_Editor_BrickRectangleDrag(benchmark::State& state, const char* file) {
  Editor editor(file, RICElementKind::Rectangle);
  editor.Window().SetDisplayMode(DisplayMode::BrickEnhanced132);
  Drag(state, editor, editor.Window().findChild<TNxtImage*>("Image_Rectangle"));
}
ON_BOTH_DOCUMENTS(BM_Editor_BrickRectangleDrag);

void BM_Editor_BrickPreviewDrag(benchmark::State& state, const char* file) {
  Editor editor(file, RICElementKind::Line);
  editor.Window().SetDisplayMode(DisplayMode::BrickEnhanced132);
  QTest::mouseClick(editor.Find<QToolButton>("SpeedButton_Preview"), Qt::LeftButton);
  Drag(state, editor, editor.Find<TNxtImage>("Image_Preview"));
}
ON_BOTH_DOCUMENTS(BM_Editor_BrickPreviewDrag);

// The destination view of the CopyBits page: each move places the copy.
void BM_Editor_CopyBitsDrag(benchmark::State& state, const char* file) {
  Editor editor(file, RICElementKind::CopyBits);
  if (editor.Find<QStackedWidget>("PageControl_Edit")->currentWidget() !=
      editor.Find<TCopyBitsPage>("TabSheet_Edit_CopyBits"))
    return state.SkipWithError("the CopyBits page is not shown");
  Drag(state, editor,
       editor.Find<TCopyBitsPage>("TabSheet_Edit_CopyBits")->Image_CopyBits_Destination);
}
ON_BOTH_DOCUMENTS(BM_Editor_CopyBitsDrag);

// A drag with a tool of the Sprite page, chosen by its button, at zoom 1 (the
// Home key on the zoom bar): the shape's preview drawn over most of the view.
void SpriteToolDrag(benchmark::State& state, const char* file, QToolButton* TSpritePage::*button,
                    SpriteToolState tool) {
  Editor editor(file, RICElementKind::Sprite);
  TSpritePage* page = editor.Find<TSpritePage>("TabSheet_Edit_Sprite");
  QTest::mouseClick(page->*button, Qt::LeftButton);
  page->TrackBar_Sprite_Zoom->setFocus();
  QTest::keyClick(page->TrackBar_Sprite_Zoom, Qt::Key_Home);
  Editor::Settle();
  const TRICElement* sprite = editor.Elements().At(editor.Window().SelectedIndex());
  if (editor.Find<QStackedWidget>("PageControl_Edit")->currentWidget() != page ||
      page->SpriteToolValue() != tool || !sprite || sprite->ZoomFactor != 1)
    return state.SkipWithError("the Sprite page's tool or zoom is not set");
  Drag(state, editor, page->Image_Sprite);
}

void BM_Editor_SpriteLineDrag(benchmark::State& state, const char* file) {
  SpriteToolDrag(state, file, &TSpritePage::SpeedButton_Sprite_Line, SpriteToolState::Line);
}
ON_BOTH_DOCUMENTS(BM_Editor_SpriteLineDrag);

void BM_Editor_SpriteRectangleDrag(benchmark::State& state, const char* file) {
  if (state.range(0))
    SpriteToolDrag(state, file, &TSpritePage::SpeedButton_Sprite_FRectangle,
                   SpriteToolState::FilledRectangle);
  else
    SpriteToolDrag(state, file, &TSpritePage::SpeedButton_Sprite_Rectangle,
                   SpriteToolState::Rectangle);
}

void BM_Editor_SpriteEllipseDrag(benchmark::State& state, const char* file) {
  if (state.range(0))
    SpriteToolDrag(state, file, &TSpritePage::SpeedButton_Sprite_FEllispe,
                   SpriteToolState::FilledEllipse);
  else
    SpriteToolDrag(state, file, &TSpritePage::SpeedButton_Sprite_Ellispe, SpriteToolState::Ellipse);
}

WITH_ARG_ON_BOTH_DOCUMENTS(BM_Editor_SpriteRectangleDrag, "filled");
WITH_ARG_ON_BOTH_DOCUMENTS(BM_Editor_SpriteEllipseDrag, "filled");

// The last row of the element list dragged up by one row and back: each move
// exchanges two elements.
void BM_Editor_ReorderDrag(benchmark::State& state, const char* file) {
  Editor editor(file, RICElementKind::Description);
  TDrawGrid* grid = editor.Find<TDrawGrid>("DrawGrid_RIC");
  const int last = editor.Elements().Count();
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
  if (state.range(0))
    QTest::mouseClick(editor.Find<QToolButton>("SpeedButton_Preview"), Qt::LeftButton);
  QSpinBox* spin = editor.Find<QSpinBox>("SpinEdit_Param00");
  spin->setFocus();
  editor.Run(state, [spin](int step) {
    QTest::keyClick(spin, step % 80 < 40 ? Qt::Key_Up : Qt::Key_Down);
  });
}
WITH_ARG_ON_BOTH_DOCUMENTS(BM_Editor_ParameterChange, "preview");

// Preview and Modify in turn, by their buttons.
void BM_Editor_PreviewModifySwitch(benchmark::State& state, const char* file) {
  Editor editor(file, RICElementKind::Line);
  editor.Run(state, [&editor](int step) {
    QTest::mouseClick(step % 2 ? editor.Find<QToolButton>("SpeedButton_Preview")
                               : editor.Find<QToolButton>("SpeedButton2"),
                      Qt::LeftButton);
  });
}
ON_BOTH_DOCUMENTS(BM_Editor_PreviewModifySwitch);

// Home and End in turn on the element list: the first and the last element.
void BM_Editor_SelectFarRow(benchmark::State& state, const char* file) {
  Editor editor(file, RICElementKind::Line);
  QWidget* grid = editor.Find<TDrawGrid>("DrawGrid_RIC");
  grid->setFocus();
  editor.Run(state,
             [grid](int step) { QTest::keyClick(grid, step % 2 ? Qt::Key_Home : Qt::Key_End); });
}
ON_BOTH_DOCUMENTS(BM_Editor_SelectFarRow);

// A key pressed where the keyboard focus is, as the user's keyboard sends it.
void PressKey(TForm_Tavlin& window, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
  QWidget* focus = QApplication::focusWidget();
  QTest::keyClick(focus ? focus : &window, key, modifiers);
}

// One typical step on the last Line: a drag on the Line page (`delete` 0)
// or the Delete key on the element list (1).
void MakeStep(benchmark::State& state, Editor& editor) {
  TForm_Tavlin& w = editor.Window();
  if (state.range(0)) {
    editor.Find<TDrawGrid>("DrawGrid_RIC")->setFocus();
    PressKey(w, Qt::Key_Delete);
  } else {
    QWidget* image = w.findChild<TNxtImage*>("Image_Line");
    QTest::mousePress(image, Qt::LeftButton, {}, OnScreen(image, 10, 10));
    QTest::mouseMove(image, OnScreen(image, 40, 30));
    QTest::mouseRelease(image, Qt::LeftButton, {}, OnScreen(image, 40, 30));
  }
  Editor::Settle();
  if (!w.Document().CanUndo()) state.SkipWithError("no step was made");
}

// Ctrl+Z, timed; Ctrl+Shift+Z sets the next iteration up.
void BM_Editor_Undo(benchmark::State& state, const char* file) {
  Editor editor(file, RICElementKind::Line);
  MakeStep(state, editor);
  TForm_Tavlin& w = editor.Window();
  editor.Run(
      state, [&w](int) { PressKey(w, Qt::Key_Z, Qt::ControlModifier); },
      [&w](int) { PressKey(w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); });
}

// Ctrl+Shift+Z, timed; Ctrl+Z sets the next iteration up.
void BM_Editor_Redo(benchmark::State& state, const char* file) {
  Editor editor(file, RICElementKind::Line);
  MakeStep(state, editor);
  TForm_Tavlin& w = editor.Window();
  PressKey(w, Qt::Key_Z, Qt::ControlModifier);
  editor.Run(
      state, [&w](int) { PressKey(w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); },
      [&w](int) { PressKey(w, Qt::Key_Z, Qt::ControlModifier); });
}

WITH_ARG_ON_BOTH_DOCUMENTS(BM_Editor_Undo, "delete");
WITH_ARG_ON_BOTH_DOCUMENTS(BM_Editor_Redo, "delete");

// ---- reopening the single-pixel-sprite file, in a fresh process ----

constexpr const char* kReopenChild = "TAVLIN_BENCH_REOPEN_CHILD";

// The high-water mark of this process's resident set in KiB (VmHWM: this
// program's own pages since it started, not those of a process it was forked from).
double PeakKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6));
  return 0;
}

double Milliseconds(clockid_t clock) {
  timespec t{};
  ::clock_gettime(clock, &t);
  return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// What a child process wrote on its standard output, and whether it ended well.
struct ChildRun {
  bool ok = false;
  std::string out;
};

// Starts `program` with `args`, `extraEnv` before the environment, and reads
// what it writes until it ends; `startedMs` gets the monotonic time right
// before the start.
ChildRun RunChild(const std::string& program, std::vector<std::string> args,
                  const std::vector<std::string>& extraEnv, double* startedMs = nullptr) {
  ChildRun run;
  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) return run;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  std::vector<char*> env;
  for (const std::string& e : extraEnv) env.push_back(const_cast<char*>(e.c_str()));
  for (char** e = environ; *e; ++e) env.push_back(*e);
  env.push_back(nullptr);
  args.insert(args.begin(), program);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (startedMs) *startedMs = Milliseconds(CLOCK_MONOTONIC);
  const int spawned =
      ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  char buffer[256];
  for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) run.out.append(buffer, n);
  ::close(out[0]);
  int status = 0;
  if (spawned == 0) ::waitpid(pid, &status, 0);
  run.ok = spawned == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

// The child: the window shown, the file opened and opened again as the user
// does, the second open building the new document while the first is alive.
// Prints the peaks before and after and the times of the second open.
int ReopenChild(const QString& path) {
  ScriptedDialogs dialogs;
  std::unique_ptr<TForm_Tavlin> window = StartEditor(dialogs);
  if (!QTest::qWaitForWindowExposed(window.get())) return 1;
  Editor::Settle();
  const double startKiB = PeakKiB();
  if (!window->OpenRicFile(path)) return 1;
  Editor::Settle();
  const double wall = Milliseconds(CLOCK_MONOTONIC), cpu = Milliseconds(CLOCK_PROCESS_CPUTIME_ID);
  if (!window->OpenRicFile(path)) return 1;
  Editor::Settle();
  std::printf("%f %f %f %f %d\n", startKiB, PeakKiB(), Milliseconds(CLOCK_MONOTONIC) - wall,
              Milliseconds(CLOCK_PROCESS_CPUTIME_ID) - cpu,
              window->Document().ElementList().Count());
  std::fflush(stdout);
  window->Document().MarkSaved();
  return 0;
}

// Each iteration starts this program afresh as the child above and reads its
// report. The time is the second open's (to the repainted window), cpu_ms its
// CPU time; peak_MiB is the child's peak resident set, window_MiB the part
// of it reached before any document was opened.
void BM_Editor_ReopenSingleSpriteFile(benchmark::State& state) {
  const std::string path = DataFile("single-pixel-sprites.ric").toStdString();
  double startKiB = 0, peakKiB = 0, cpuMs = 0, sprites = 0;
  for (auto _ : state) {
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const ChildRun run = RunChild(self, {}, {std::string(kReopenChild) + "=" + path});
    double start = 0, peak = 0, wall = 0, cpu = 0;
    int count = 0;
    if (!run.ok ||
        std::sscanf(run.out.c_str(), "%lf %lf %lf %lf %d", &start, &peak, &wall, &cpu, &count) != 5)
      return state.SkipWithError(("the child process did not report on " + path).c_str());
    state.SetIterationTime(wall / 1e3);
    startKiB = std::max(startKiB, start);
    peakKiB = std::max(peakKiB, peak);
    cpuMs += cpu;
    sprites = count;
  }
  state.counters["peak_MiB"] = peakKiB / 1024.0;
  state.counters["window_MiB"] = startKiB / 1024.0;
  state.counters["cpu_ms"] =
      cpuMs / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
  state.counters["sprites"] = sprites;
}
BENCHMARK(BM_Editor_ReopenSingleSpriteFile)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// ---- start-up: a fresh process to its first painted frame ----

constexpr const char* kMinimalChild = "TAVLIN_BENCH_MINIMAL_WINDOW";

std::int64_t NowNs() {
  timespec t{};
  ::clock_gettime(CLOCK_MONOTONIC, &t);
  return std::int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// The baseline's child: a plain Qt Widgets window of the editor's size,
// reporting as the editor does once its first frame is painted.
class MinimalWindow : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override {
    if (reported_) return;
    reported_ = true;
    QTimer::singleShot(0, this, [this] {
      std::printf("%lld %d %d\n", static_cast<long long>(NowNs()), width(), height());
      std::fflush(stdout);
      std::_Exit(0);
    });
  }

 private:
  bool reported_ = false;
};

int MinimalChild(const QByteArray& size) {
  MinimalWindow window;
  const QList<QByteArray> wh = size.split('x');
  window.resize(wh.value(0).toInt(), wh.value(1).toInt());
  window.show();
  return qApp->exec();
}

// The editor's window size, as the editor reported it, for the baseline.
QByteArray editorSize = "1000x700";

// Starts `program` with `args` and the extra environment, and returns the
// milliseconds from the start to the first frame it reports; below 0 when it
// reported none.
double FirstFrameMs(const std::string& program, std::vector<std::string> args,
                    const std::vector<std::string>& extraEnv, QByteArray* size = nullptr) {
  double started = 0;
  const ChildRun run = RunChild(program, std::move(args), extraEnv, &started);
  long long at = 0;
  int w = 0, h = 0;
  if (std::sscanf(run.out.c_str(), "%lld %d %d", &at, &w, &h) != 3) return -1;
  if (size) *size = QByteArray::number(w) + "x" + QByteArray::number(h);
  return double(at) / 1e6 - started;
}

// The editor program, as a user starts it, with the largest document on the
// command line or none; its settings and desktop files in scratch folders.
void BM_Startup_FirstFrame(benchmark::State& state, const char* file) {
#ifdef TAVLIN_PROGRAM
  QTemporaryDir home;
  const std::vector<std::string> env{"TAVLIN_REPORT_FIRST_FRAME=1",
                                     "XDG_CONFIG_HOME=" + home.filePath("config").toStdString(),
                                     "XDG_DATA_HOME=" + home.filePath("data").toStdString()};
  std::vector<std::string> args;
  if (*file) args.push_back(DataFile(file).toStdString());
  for (auto _ : state) {
    const double ms = FirstFrameMs(TAVLIN_PROGRAM, args, env, &editorSize);
    if (ms < 0) return state.SkipWithError("the editor reported no first frame");
    state.SetIterationTime(ms / 1e3);
  }
#else
  (void)file;
  state.SkipWithError("built without the editor program");
#endif
}
BENCHMARK_CAPTURE(BM_Startup_FirstFrame, NoDocument, "")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Startup_FirstFrame, Costliest, "costliest.ric")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The baseline in the same run: a minimal Qt Widgets window of the editor's size.
void BM_Startup_MinimalQtWindow(benchmark::State& state) {
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::vector<std::string> env{std::string(kMinimalChild) + "=" + editorSize.toStdString()};
  for (auto _ : state) {
    const double ms = FirstFrameMs(self, {}, env);
    if (ms < 0) return state.SkipWithError("the minimal window reported no first frame");
    state.SetIterationTime(ms / 1e3);
  }
}
BENCHMARK(BM_Startup_MinimalQtWindow)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The window keeps its settings in a scratch folder, never the user's own.
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  QApplication app(argc, argv);
  if (const QByteArray size = qgetenv(kMinimalChild); !size.isEmpty()) return MinimalChild(size);
  if (const QByteArray child = qgetenv(kReopenChild); !child.isEmpty())
    return ReopenChild(QString::fromLocal8Bit(child));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
