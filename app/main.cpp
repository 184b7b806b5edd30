// The editor: starts the document unit, creates the windows, opens the file
// named on the command line and runs until the main window closes.
#include <QApplication>
#include <QFile>
#include <QTimer>
#include <cstdio>

#include "FTypesAPI.h"
#include "FileIO.h"
#include "ParameterSet.h"
#include "RICElement.h"
#include "StartUp.h"
#include "Tavlin_main.h"
#include "UserDialogs.h"

int main(int argc, char** argv) {
  // The document unit starts before any window: 16 parameters, the default
  // parameter file, the placeholder sprite and the empty document.
  std::string parameterError = tavlin::StartDocumentUnit();

  QApplication app(argc, argv);
  app.setApplicationName("Tavlin");
  app.setApplicationVersion("2.0.4");
  tavlin::PaintUndefinedSprite();

  tavlin::QtUserDialogs dialogs;
  tavlin::TForm_Tavlin window(dialogs);
  window.show();
  if (!parameterError.empty())
    QTimer::singleShot(0, &window, [&] {
      dialogs.ShowError(&window, QString::fromStdString(parameterError));
    });
  // ".ric" files open here from the desktop; the command names this program's current place.
  // A registration that cannot be made is no reason to stop: it is only noted on stderr.
  const std::string notRegistered = tavlin::RegisterRicFileType(
      ".ric", "LEGO Mindstorms RIC-Files", "RIC-Files",
      QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString(),
      tavlin::DefaultDesktopFolders());
  if (!notRegistered.empty())
    std::fprintf(stderr, "tavlin: .ric files are not fully registered: %s\n",
                 notRegistered.c_str());
  if (argc > 1) window.OpenRicFile(QFile::decodeName(argv[1]));
  return app.exec();
}
