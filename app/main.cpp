// The editor: starts the document unit, creates the windows, opens the file
// named on the command line and runs until the main window closes.
#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string_view>

#include "Document.h"
#include "DocumentUnit.h"
#include "FTypesAPI.h"
#include "FileIO.h"
#include "ParameterFile.h"
#include "QuitSignals.h"
#include "RICElement.h"
#include "Tavlin_main.h"
#include "UserDialogs.h"
#include "Version.h"

namespace {

const char* const kHelp =
    "Usage: tavlin [FILE.ric]\n"
    "Edits RIC files, the pictures of the LEGO MINDSTORMS NXT display; opens FILE.ric when\n"
    "given.\n"
    "\n"
    "Options:\n"
    "  -h, --help     print this help and exit\n"
    "  -V, --version  print the version and exit\n"
    "\n"
    "The standard options of Qt programs (-platform NAME, ...) are taken as well.\n";

// For the start-up benchmark: with TAVLIN_REPORT_FIRST_FRAME set, the
// monotonic clock's time (ns) and the window's size are printed once the
// window's first frame is painted, and the program ends.
class FirstFrameReport : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !reported_) {
      reported_ = true;
      auto* window = static_cast<QWidget*>(watched);
      // After this paint event: the frame is then complete.
      QTimer::singleShot(0, window, [window] {
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        std::printf("%lld %d %d\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                    window->width(), window->height());
        std::fflush(stdout);
        std::_Exit(0);
      });
    }
    return false;
  }

 private:
  bool reported_ = false;
};

void ReportFirstFrame(QWidget& window) {
  if (qEnvironmentVariableIsSet("TAVLIN_REPORT_FIRST_FRAME"))
    window.installEventFilter(new FirstFrameReport(&window));
}

}  // namespace

int main(int argc, char** argv) {
  // Answered before anything starts, so that they work without a display.
  if (argc > 1) {
    const std::string_view first = argv[1];
    if (first == "--help" || first == "-h" || first == "--version" || first == "-V") {
      const bool help = first == "--help" || first == "-h";
      if (help)
        std::fputs(kHelp, stdout);
      else
        std::printf("tavlin %s\n", tavlin::kVersion);
      return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }
  }
  // The document starts before any window: 16 parameters, the default
  // parameter file, the placeholder sprite and no elements.
  auto document = std::make_unique<tavlin::RICDocument>();
  std::string parameterError = tavlin::StartDocumentUnit(*document);

  QApplication app(argc, argv);
  app.setApplicationName("Tavlin");
  app.setApplicationVersion(tavlin::kVersion);
  // Ties the windows to the desktop entry, whose icon they show.
  app.setDesktopFileName("tavlin");

  tavlin::QtUserDialogs dialogs;
  tavlin::TForm_Tavlin window(dialogs, std::move(document));
  ReportFirstFrame(window);
  window.show();
  // A logout or `kill` keeps a copy of unsaved work and ends without questions.
  tavlin::TQuitSignals quitSignals([&window](int) {
    window.WriteRecoveryNow();
    QCoreApplication::exit(0);
  });
  if (!parameterError.empty())
    QTimer::singleShot(0, &window,
                       [&] { dialogs.ShowError(&window, QString::fromStdString(parameterError)); });
  // ".ric" files open here from the desktop; the command names this program's current place.
  // An installed program leaves that to the system's desktop entry and file types.
  // A registration that cannot be made is no reason to stop: it is only noted on stderr.
  const std::string program =
      QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
  const tavlin::DesktopFolders folders = tavlin::DefaultDesktopFolders();
  if (!tavlin::InstalledSystemWide(program, folders)) {
    const std::string notRegistered = tavlin::RegisterRicFileType(
        ".ric", "LEGO Mindstorms RIC-Files", "RIC-Files", program, folders);
    if (!notRegistered.empty())
      std::fprintf(stderr, "tavlin: .ric files are not fully registered: %s\n",
                   notRegistered.c_str());
  }
  if (argc > 1) window.OpenRicFile(QFile::decodeName(argv[1]));
  // Work an editor lost when it ended is offered once the window is there.
  QTimer::singleShot(0, &window, [&window] { window.OfferRecoveryCopies(); });
  const int status = app.exec();
  // All the editor keeps is written before its window closes (the document
  // asked about, the parameters, the recovery copy). Taking the window, the
  // document and the folder views' helper threads apart would only hold the
  // process after its window is gone: it ends here. Only a clipboard the
  // editor still owns needs Qt's own end, which hands it to the desktop.
  if (!QGuiApplication::clipboard()->ownsClipboard()) {
    std::fflush(nullptr);
    std::_Exit(status);
  }
  return status;
}
