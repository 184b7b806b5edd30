// Document commands: New, Open, Merge, Save, Save as, the element list
// commands, About, the RicScript import and export, and the export as NXC or
// NBC source.
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <cerrno>

#include "DiskWatch.h"
#include "Document.h"
#include "DocumentIO.h"
#include "DrawGrid.h"
#include "FileIO.h"
#include "PreviewAnimation.h"
#include "QtFilePaths.h"
#include "RecentFiles.h"
#include "RicFile.h"
#include "RicScript.h"
#include "SourceExport.h"
#include "SpritePage.h"
#include "Tavlin_About.h"
#include "Tavlin_main.h"
#include "UserDialogs.h"

namespace tavlin {

namespace {

const FileDialogSpec kRicOpenDialog{"MINDSTORMS graphic files|*.ric", "ric", "*.ric", true};
const FileDialogSpec kRicSaveDialog{"MINDSTORMS graphic files|*.ric", "ric", "*.ric", false};
const FileDialogSpec kScriptOpenDialog{"RICscript files *.rs|*.rs", "rs", "*.rs", true};
const FileDialogSpec kScriptSaveDialog{"RicScript *.rs|*.rs", "rs", "*.rs", false};
const FileDialogSpec kNxcSaveDialog{"NXC source *.nxc|*.nxc", "nxc", "*.nxc", false};
const FileDialogSpec kNbcSaveDialog{"NBC source *.nbc|*.nbc", "nbc", "*.nbc", false};

}  // namespace

QString WithSuffix(const QString& path, const QString& suffix) {
  const QString old = QFileInfo(path).suffix();
  return (old.isEmpty() ? path + '.' : path.chopped(old.size())) + suffix;
}

std::optional<QString> ChooseFileToWrite(UserDialogs& dialogs, QWidget* parent,
                                         FileDialogSpec setup,
                                         const std::function<QString(const QString&)>& target) {
  for (;;) {
    std::optional<QString> path = dialogs.ChooseSaveFile(parent, setup);
    if (path && target) path = target(*path);
    if (!path || !QFileInfo::exists(*path)) return path;
    if (dialogs.AskYesNo(
            parent, QFileInfo(*path).fileName() + " already exists.\nDo you want to replace it?"))
      return path;
    setup.fileName = *path;
  }
}

namespace {

// Shows once what the RIC reader passed over in a damaged file; each note names the file.
QString Lines(const std::vector<std::string>& lines) {
  QStringList joined;
  for (const std::string& line : lines) joined << QString::fromStdString(line);
  return joined.join('\n');
}

// What a save wrote all the same but could not keep (an extended attribute
// the new file was refused), said once the save is done.
void ShowWriteWarnings(UserDialogs& dialogs, QWidget* parent) {
  const std::vector<std::string> warnings = TakeWriteWarnings();
  if (!warnings.empty()) dialogs.ShowWarning(parent, Lines(warnings));
}

void ShowPassedOver(UserDialogs& dialogs, QWidget* parent, const std::vector<std::string>& notes) {
  if (notes.empty()) return;
  QString text;
  for (const std::string& note : notes) text += QString::fromStdString(note) + "\n";
  dialogs.ShowWarning(parent, text +
                                  "\nWhat was passed over is not in the document; saving "
                                  "over the file would lose it.");
}

}  // namespace

// Reads a RIC file completely before the document changes. A file with bytes
// of which not one element could be read is no picture to open: taken for an
// empty one, Save would replace it with nothing. A failure is shown; the
// document stays as it was.
std::optional<TForm_Tavlin::ReadFile> TForm_Tavlin::ReadRicDocument(const QString& path) {
  ReadFile file;
  try {
    file.list = LoadRicFile(LocalPath(path), &file.notes, &file.passedOver);
    if (file.list.Empty() && file.passedOver > 0)
      throw TavlinError(LocalPath(path),
                        "nothing in the file could be read as a RIC picture (" +
                            std::to_string(file.passedOver) +
                            " bytes passed over); it is damaged or of another kind");
  } catch (const TavlinError& e) {
    ShowFailure(QString::fromStdString(e.what()));
    return std::nullopt;
  }
  return file;
}

// Cancel (Esc, closing the box) and a save that did not happen stop the command.
bool TForm_Tavlin::AskSaveFirst() {
  if (!Modified()) return true;
  SaveAnswer answer =
      dialogs_.AskYesNoCancel(this, "RIC file was modified. Do you want to save the file first?");
  if (answer == SaveAnswer::Cancel) return false;
  return answer == SaveAnswer::No || SaveDocument();
}

void TForm_Tavlin::OpenCommand() {
  if (!AskSaveFirst()) return;
  FileDialogSpec setup = kRicOpenDialog;
  setup.fileName = currentFileName_;
  std::optional<QString> path = dialogs_.ChooseOpenFile(this, setup);
  if (!path) return;
  OpenRicFile(*path);
}

bool TForm_Tavlin::OpenRicFile(const QString& path) {
  // Read as RIC bytes, a script would become the current file, and Save would overwrite it.
  if (FormatOfPath(LocalPath(path)) == DocumentFormat::RicScript) return ImportRicScriptFile(path);
  // A file that is not there, or is a folder, is said to be so.
  std::optional<ReadFile> read = ReadRicDocument(path);
  if (!read) return false;
  Document().Reset(std::move(read->list), LocalPath(path));
  currentFileName_ = path;
  diskWatch_->Track(path, read->passedOver);
  ShowLoadedDocument();
  StatusPanel[6]->setText(currentFileName_);
  NoteRecentFile(path);
  ShowPassedOver(dialogs_, this, read->notes);
  return true;
}

bool TForm_Tavlin::ReloadFromDisk() {
  const QString path = currentFileName_;
  if (path.isEmpty()) return false;
  if (Modified() && !dialogs_.AskYesNo(this, QFileInfo(path).fileName() +
                                                 " has unsaved changes. Reload the file from "
                                                 "disk in their place?\n\nUndo brings them back."))
    return false;
  std::optional<ReadFile> read = ReadRicDocument(path);
  if (!read) return false;
  Document().ReplaceAll(std::move(read->list),
                        "Reload " + QFileInfo(path).fileName().toStdString());
  Document().MarkSaved();  // the document is the file again; Undo makes it differ
  diskWatch_->Track(path, read->passedOver);
  ShowChangedDocument(selectedIndex_);
  ShowPassedOver(dialogs_, this, read->notes);
  return true;
}

void TForm_Tavlin::OpenRecentFile(const QString& path) {
  if (!FileExists(LocalPath(path))) {
    ShowFailure(path + ": " + QString::fromStdString(IoErrorText(ENOENT)));
    try {
      FillRecentMenu(RemoveRecentFile(recentListFile_, LocalPath(path)));
    } catch (const TavlinError&) {
      // A list that cannot be written keeps the entry; the user was told why it does not open.
    }
    return;
  }
  if (AskSaveFirst()) OpenRicFile(path);
}

void TForm_Tavlin::NoteRecentFile(const QString& path) {
  try {
    FillRecentMenu(AddRecentFile(recentListFile_, LocalPath(QFileInfo(path).absoluteFilePath())));
  } catch (const TavlinError&) {
    // A list that cannot be kept (a read-only config folder) is no reason to trouble the user.
  }
}

void TForm_Tavlin::FillRecentMenu(const std::vector<std::string>& paths) {
  // The entries are made once and relabelled: the one clicked may be what brought us here.
  QList<QAction*> entries = Menu_File_Recent->actions();
  if (entries.isEmpty()) {
    for (std::size_t i = 0; i < kMaxRecentFiles; ++i) {
      QAction* entry = Menu_File_Recent->addAction(QString());
      connect(entry, &QAction::triggered, this,
              [this, entry] { OpenRecentFile(entry->data().toString()); });
      entries << entry;
    }
    entries << Menu_File_Recent->addAction("No recent files");
    entries.last()->setEnabled(false);
  }
  auto literal = [](QString text) { return text.replace('&', "&&"); };  // no mnemonics in names
  for (std::size_t i = 0; i < kMaxRecentFiles; ++i) {
    QAction* entry = entries[qsizetype(i)];
    entry->setVisible(i < paths.size());
    if (i >= paths.size()) continue;
    const QFileInfo file(QtPath(paths[i]));
    entry->setText(
        QString("&%1 %2  [%3]").arg(i + 1).arg(literal(file.fileName()), literal(file.path())));
    entry->setData(file.filePath());
  }
  entries.last()->setVisible(paths.empty());
}

void TForm_Tavlin::MergeCommand() {
  FileDialogSpec setup = kRicOpenDialog;
  if (!lastMergeFile_.isEmpty()) setup.fileName = lastMergeFile_;
  std::optional<QString> path = dialogs_.ChooseOpenFile(this, setup);
  if (!path) return;
  lastMergeFile_ = *path;
  std::optional<ReadFile> read = ReadRicDocument(*path);
  if (!read) return;
  const int first = ElementList().Count();
  Document().InsertList(first, std::move(read->list),
                        "Merge " + QFileInfo(*path).fileName().toStdString());
  // The selection stays where it was; an empty document shows the first merged element.
  ShowChangedDocument(first == 0 ? 0 : selectedIndex_);
  ShowPassedOver(dialogs_, this, read->notes);
}

bool TForm_Tavlin::SaveDocument() {
  if (currentFileName_.isEmpty()) return SaveDocumentAs();
  switch (AskBeforeSavingOver()) {
    case SaveOver::Stop:
      return false;
    case SaveOver::SaveAs:
      return SaveDocumentAs();
    case SaveOver::Write:
      break;
  }
  Document().EndFloatingWork();  // no preview pixels in the file
  TakeWriteWarnings();           // only this save's are shown
  try {
    WriteRicFile(ElementList(), LocalPath(currentFileName_));
  } catch (const TavlinError& e) {
    ShowFailure(QString::fromStdString(e.what()));
    return false;
  }
  ShowWriteWarnings(dialogs_, this);
  diskWatch_->Track(currentFileName_);  // it now holds the whole document
  Document().MarkSaved();
  ShowSavedMessage();
  NoteRecentFile(currentFileName_);
  return true;
}

bool TForm_Tavlin::SaveDocumentAs() {
  FileDialogSpec setup = kRicSaveDialog;
  setup.fileName = currentFileName_.isEmpty() ? proposedFileName_ : currentFileName_;
  // The name says what is written: a script for ".rs", RIC data otherwise, a name of no known
  // kind getting ".ric".
  std::optional<QString> path = ChooseFileToWrite(dialogs_, this, setup, [](const QString& name) {
    return FormatOfPath(LocalPath(name)) == DocumentFormat::Unknown ? name + ".ric" : name;
  });
  if (!path) return false;
  Document().EndFloatingWork();  // no preview pixels in the file
  TakeWriteWarnings();           // only this save's are shown
  if (FormatOfPath(LocalPath(*path)) == DocumentFormat::RicScript) {
    // As Export does: the document still belongs to its RIC file, if any, and is not saved there.
    try {
      WriteRicScript(ElementList(), LocalPath(*path));
    } catch (const TavlinError& e) {
      ShowFailure(QString::fromStdString(e.what()));
      return false;
    }
    ShowWriteWarnings(dialogs_, this);
    if (currentFileName_.isEmpty()) proposedFileName_ = WithSuffix(*path, "ric");
    return true;
  }
  try {
    WriteRicFile(ElementList(), LocalPath(*path));
  } catch (const TavlinError& e) {
    // The document keeps the name of the file that holds it, if any.
    ShowFailure(QString::fromStdString(e.what()));
    return false;
  }
  ShowWriteWarnings(dialogs_, this);
  SetCurrentFileName(*path);
  Document().MarkSaved();
  ShowSavedMessage();
  NoteRecentFile(currentFileName_);
  return true;
}

void TForm_Tavlin::NewCommand() {
  if (!AskSaveFirst()) return;
  Animation_PreView->Pause();
  Document().Reset(RICElementList(), std::string());
  DrawGrid_RIC->SetRowCount(2);
  DrawGrid_RIC->SetRow(1, false);
  selectedIndex_ = 0;
  {
    EditEventsPause pause(*this);
    ShowElement(selectedIndex_);
  }
  RefreshDocumentView();
  DrawGrid_RIC->viewport()->update();
  SetCurrentFileName(QString());
  proposedFileName_.clear();
  StatusPanel[6]->setText(QString());
}

void TForm_Tavlin::AboutCommand() {
  if (!aboutBox_) aboutBox_ = new TForm_Tavlin_Info(this);  // made when first asked for
  dialogs_.RunModal(aboutBox_);
}

void TForm_Tavlin::ImportRicScript1Click() {
  if (!AskSaveFirst()) return;
  std::optional<QString> path = dialogs_.ChooseOpenFile(this, kScriptOpenDialog);
  if (!path) return;
  ImportRicScriptFile(*path);
}

bool TForm_Tavlin::ImportRicScriptFile(const QString& path) {
  std::vector<std::string> stop;  // where a word that is no statement ended the script
  RICElementList read;
  {
    std::unique_ptr<ProgressWindow> progress =
        dialogs_.StartProgress(this, "Reading " + QFileInfo(path).fileName() + "...");
    const auto report = [&](std::size_t done, std::size_t total) {
      return progress->Update(
          total ? int(double(done) / double(total) * ProgressWindow::kProgressSteps) : 0);
    };
    try {
      // The script is read completely before the document is replaced.
      read = LoadRicScript(LocalPath(path), &stop, report);
    } catch (const RicScriptCancelled&) {
      return false;
    } catch (const TavlinError& e) {
      progress.reset();
      ShowFailure(QString::fromStdString(e.what()));
      return false;
    }
  }
  Document().ReplaceAll(std::move(read), "Import RicScript");
  ShowLoadedDocument();
  // The imported document belongs to no RIC file: Save asks for one, proposing the script's name.
  SetCurrentFileName(QString());
  StatusPanel[6]->setText(QString());
  UpdateTitle();
  proposedFileName_ = WithSuffix(path, "ric");
  // Where the script stopped comes first, then the rows cut to the canvas.
  if (!stop.empty()) dialogs_.ShowWarning(this, Lines(stop));
  return true;
}

void TForm_Tavlin::ShowLoadedDocument() {
  EnterModifyMode();
  ShowChangedDocument(0);
}

void TForm_Tavlin::ExportRicScript1Click() {
  // The script is proposed beside the document, under its name.
  FileDialogSpec setup = kScriptSaveDialog;
  const QString document = currentFileName_.isEmpty() ? proposedFileName_ : currentFileName_;
  if (!document.isEmpty()) setup.fileName = WithSuffix(document, "rs");
  std::optional<QString> path = ChooseFileToWrite(dialogs_, this, setup);
  if (!path) return;
  Document().EndFloatingWork();
  try {
    WriteRicScript(ElementList(), LocalPath(*path));
  } catch (const TavlinError& e) {
    ShowFailure(QString::fromStdString(e.what()));
  }
}

void TForm_Tavlin::Menu_File_Export_NxcClick() {
  NxcStyle style = NxcStyle::Macros;
  switch (dialogs_.AskYesNoCancel(
      this,
      "Write each element with NXC's RIC macros (RICOpSprite, RICOpLine, ...) on a line of "
      "its own?\n\nNo writes the plain bytes, 16 to a line.")) {
    case SaveAnswer::Cancel:
      return;
    case SaveAnswer::No:
      style = NxcStyle::Bytes;
      break;
    case SaveAnswer::Yes:
      break;
  }
  ExportSource(SourceLanguage::Nxc, style);
}

void TForm_Tavlin::Menu_File_Export_NbcClick() { ExportSource(SourceLanguage::Nbc); }

void TForm_Tavlin::ExportSource(SourceLanguage language, NxcStyle style) {
  // The source is proposed beside the document, under its name, which also names the array.
  FileDialogSpec setup = language == SourceLanguage::Nxc ? kNxcSaveDialog : kNbcSaveDialog;
  const QString document = currentFileName_.isEmpty() ? proposedFileName_ : currentFileName_;
  if (!document.isEmpty()) setup.fileName = WithSuffix(document, setup.defaultSuffix);
  std::optional<QString> path = ChooseFileToWrite(dialogs_, this, setup);
  if (!path) return;
  const QString source =
      QFileInfo(document.isEmpty() ? WithSuffix(*path, "ric") : document).fileName();
  // Two pictures named alike ("a-b.ric", "a_b.ric") need arrays of their own.
  const std::optional<QString> name =
      dialogs_.AskText(this, "Name of the array in the source:",
                       QString::fromStdString(SourceArrayName(source.toStdString())));
  if (!name) return;
  if (!IsSourceArrayName(name->toStdString())) {
    ShowFailure(QString::fromStdString(QuoteInput(name->toStdString())) +
                " is no array name: use letters, digits and _, not a digit first, and no NXC or "
                "NBC word");
    return;
  }
  Document().EndFloatingWork();
  try {
    SaveSource(LocalPath(*path), ElementList(), source.toStdString(), language, style,
               name->toStdString());
  } catch (const TavlinError& e) {
    ShowFailure(QString::fromStdString(e.what()));
  }
}

}  // namespace tavlin
