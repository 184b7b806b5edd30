// Document commands: New, Open, Merge, Save, Save as, the element list
// commands, About, and the RicScript import and export.
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <cerrno>

#include "DrawGrid.h"
#include "FileIO.h"
#include "RecentFiles.h"
#include "RicFile.h"
#include "RicScript.h"
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

std::string Local(const QString& path) { return QFile::encodeName(path).toStdString(); }

// "letters.ric" with another suffix: "letters.rs"; a name without one gets it added.
QString WithSuffix(const QString& path, const QString& suffix) {
  const QString old = QFileInfo(path).suffix();
  return (old.isEmpty() ? path + '.' : path.chopped(old.size())) + suffix;
}

// Runs a save dialog until the user names a new file or agrees to replace an
// existing one (No goes back to the dialog); nothing when the dialog is cancelled.
std::optional<QString> ChooseFileToWrite(UserDialogs& dialogs, QWidget* parent,
                                         FileDialogSpec setup) {
  for (;;) {
    std::optional<QString> path = dialogs.ChooseSaveFile(parent, setup);
    if (!path || !QFileInfo::exists(*path)) return path;
    if (dialogs.AskYesNo(
            parent, QFileInfo(*path).fileName() + " already exists.\nDo you want to replace it?"))
      return path;
    setup.fileName = *path;
  }
}

// Shows once what the RIC reader passed over in a damaged file; each note names the file.
void ShowPassedOver(UserDialogs& dialogs, QWidget* parent, const std::vector<std::string>& notes) {
  if (notes.empty()) return;
  QString text;
  for (const std::string& note : notes) text += QString::fromStdString(note) + "\n";
  dialogs.ShowWarning(parent, text +
                                  "\nWhat was passed over is not in the document; saving "
                                  "over the file would lose it.");
}

}  // namespace

// Cancel (Esc, closing the box) and a save that did not happen stop the command.
bool TForm_Tavlin::AskSaveFirst() {
  if (!Modified) return true;
  SaveAnswer answer =
      dialogs_.AskYesNoCancel(this, "RIC file was modified. Do you want to save the file first?");
  if (answer == SaveAnswer::Cancel) return false;
  return answer == SaveAnswer::No || SaveDocument();
}

void TForm_Tavlin::OpenCommand() {
  if (!AskSaveFirst()) return;
  FileDialogSpec setup = kRicOpenDialog;
  setup.fileName = CurrentFileName;
  std::optional<QString> path = dialogs_.ChooseOpenFile(this, setup);
  if (!path) return;
  OpenRicFile(*path);
}

bool TForm_Tavlin::OpenRicFile(const QString& path) {
  if (!FileExists(Local(path))) return false;
  TabSheet_Edit_Sprite->EndPreview();
  std::vector<std::string> notes;
  try {
    // The file is read completely before the document is replaced.
    ReadRicFile(Local(path), true, &notes);
  } catch (const TavlinError& e) {
    ShowFailure(QString::fromStdString(e.what()));
    return false;
  }
  CurrentFileName = path;
  ShowLoadedDocument();
  ClearModified();
  StatusPanel[6]->setText(CurrentFileName);
  NoteRecentFile(path);
  ShowPassedOver(dialogs_, this, notes);
  return true;
}

void TForm_Tavlin::OpenRecentFile(const QString& path) {
  if (!FileExists(Local(path))) {
    ShowFailure(path + ": " + QString::fromStdString(IoErrorText(ENOENT)));
    try {
      FillRecentMenu(RemoveRecentFile(recentListFile_, Local(path)));
    } catch (const TavlinError&) {
      // A list that cannot be written keeps the entry; the user was told why it does not open.
    }
    return;
  }
  if (AskSaveFirst()) OpenRicFile(path);
}

void TForm_Tavlin::NoteRecentFile(const QString& path) {
  try {
    FillRecentMenu(AddRecentFile(recentListFile_, Local(QFileInfo(path).absoluteFilePath())));
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
    const QFileInfo file(QFile::decodeName(QByteArray::fromStdString(paths[i])));
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
  std::vector<std::string> notes;
  try {
    ReadRicFile(Local(*path), false, &notes);
  } catch (const TavlinError& e) {
    ShowFailure(QString::fromStdString(e.what()));
    return;
  }
  SetListRows(ElementList.Count());
  EditEventsEnabled = false;
  ShowElement(SelectedIndex);
  EditEventsEnabled = true;
  RefreshDocumentView();
  MarkModified();
  ShowPassedOver(dialogs_, this, notes);
}

bool TForm_Tavlin::SaveDocument() {
  if (CurrentFileName.isEmpty()) return SaveDocumentAs();
  TabSheet_Edit_Sprite->EndPreview();  // no preview pixels in the file
  try {
    WriteRicFile(Local(CurrentFileName));
  } catch (const TavlinError& e) {
    ShowFailure(QString::fromStdString(e.what()));
    return false;
  }
  ClearModified();
  ShowSavedMessage();
  NoteRecentFile(CurrentFileName);
  return true;
}

bool TForm_Tavlin::SaveDocumentAs() {
  FileDialogSpec setup = kRicSaveDialog;
  setup.fileName = CurrentFileName.isEmpty() ? proposedFileName_ : CurrentFileName;
  std::optional<QString> path = ChooseFileToWrite(dialogs_, this, setup);
  if (!path) return false;
  CurrentFileName = *path;
  UpdateTitle();
  TabSheet_Edit_Sprite->EndPreview();
  try {
    WriteRicFile(Local(CurrentFileName));
  } catch (const TavlinError& e) {
    ShowFailure(QString::fromStdString(e.what()));
    return false;
  }
  ClearModified();
  ShowSavedMessage();
  NoteRecentFile(CurrentFileName);
  return true;
}

void TForm_Tavlin::NewCommand() {
  if (!AskSaveFirst()) return;
  TabSheet_Edit_Sprite->EndPreview();
  ClearElements();
  DrawGrid_RIC->SetRowCount(2);
  DrawGrid_RIC->SetRow(1, false);
  SelectedIndex = 0;
  EditEventsEnabled = false;
  ShowElement(SelectedIndex);
  EditEventsEnabled = true;
  RefreshDocumentView();
  DrawGrid_RIC->viewport()->update();
  CurrentFileName.clear();
  proposedFileName_.clear();
  StatusPanel[6]->setText(QString());
  ClearModified();
}

void TForm_Tavlin::AddElement(RICElementKind kind) {
  EditEventsEnabled = false;
  switch (kind) {
    case RICElementKind::Description: NewDescription(0, 0, 0); break;
    case RICElementKind::Sprite: NewSprite(1); break;
    case RICElementKind::VarMap: NewVarMap(1, 0); break;
    case RICElementKind::CopyBits: NewCopyBits(0, 1, 0, 0, 1, 1, 0, 0); break;
    case RICElementKind::Pixel: NewPixel(0, 0, 0); break;
    case RICElementKind::Line: NewLine(0, 0, 0, 10, 10); break;
    case RICElementKind::Rectangle: NewRectangle(0, 0, 0, 10, 10); break;
    case RICElementKind::Circle: NewCircle(0, 30, 30, 10); break;
    case RICElementKind::NumBox: NewNumBox(0, 0, 0, 0); break;
  }
  int n = ElementList.Count();
  DrawGrid_RIC->SetRowCount(n + 1);
  SelectedIndex = n - 1;
  DrawGrid_RIC->SetRow(n, false);
  ShowElement(SelectedIndex);
  RefreshDocumentView();
  MarkModified();
  EditEventsEnabled = true;
}

// Delete, Double and the moves change the document, so they mark it modified:
// otherwise closing after them would drop the change without a question.
void TForm_Tavlin::DeleteElement() {
  if (!ElementList.ValidIndex(SelectedIndex)) return;
  TabSheet_Edit_Sprite->EndPreview();
  EditEventsEnabled = false;
  FreeElement(ElementList.Take(SelectedIndex));
  int n = ElementList.Count();
  if (SelectedIndex >= n) SelectedIndex = std::max(0, n - 1);
  SetListRows(n);
  DrawGrid_RIC->SetRow(SelectedIndex + 1, false);
  ShowElement(SelectedIndex);
  EditEventsEnabled = true;
  RefreshDocumentView();
  MarkModified();
}

void TForm_Tavlin::DoubleElement() {
  if (!ElementList.ValidIndex(SelectedIndex)) return;
  TabSheet_Edit_Sprite->EndPreview();  // the copy takes no preview pixels
  EditEventsEnabled = false;
  ElementList.Insert(SelectedIndex, DuplicateElement(*ElementList[SelectedIndex]));
  SetListRows(ElementList.Count());
  DrawGrid_RIC->SetRow(SelectedIndex + 1, false);
  ShowElement(SelectedIndex);
  EditEventsEnabled = true;
  RefreshDocumentView();
  MarkModified();
}

// Move Up and Move Down exchange the selected element with its neighbour;
// at either end the first and the last element trade places.
void TForm_Tavlin::MoveElementUp() {
  int n = ElementList.Count();
  MoveSelectedElement(SelectedIndex > 0 ? SelectedIndex - 1 : n - 1);
}

void TForm_Tavlin::MoveElementDown() {
  int n = ElementList.Count();
  MoveSelectedElement(SelectedIndex < n - 1 ? SelectedIndex + 1 : 0);
}

void TForm_Tavlin::MoveSelectedElement(int target) {
  int i = SelectedIndex;
  if (!ElementList.ValidIndex(i) || !ElementList.ValidIndex(target) || i == target) return;
  EditEventsEnabled = false;
  ElementList.Exchange(i, target);
  SelectedIndex = target;
  SelectedElement = ElementList[target];
  DrawGrid_RIC->SetRow(target + 1, false);
  ShowElement(target);
  EditEventsEnabled = true;
  RefreshDocumentView();
  MarkModified();
}

void TForm_Tavlin::AboutCommand() { dialogs_.RunModal(aboutBox_); }

void TForm_Tavlin::ImportRicScript1Click() {
  if (!AskSaveFirst()) return;
  std::optional<QString> path = dialogs_.ChooseOpenFile(this, kScriptOpenDialog);
  if (!path) return;
  TabSheet_Edit_Sprite->EndPreview();
  std::vector<std::string> stop;  // where a word that is no statement ended the script
  try {
    // The script is read completely before the document is replaced.
    ReadRicScript(Local(*path), true, &stop);
  } catch (const TavlinError& e) {
    ShowFailure(QString::fromStdString(e.what()));
    return;
  }
  ShowLoadedDocument();
  MarkModified();
  // The imported document belongs to no RIC file: Save asks for one, proposing the script's name.
  CurrentFileName.clear();
  StatusPanel[6]->setText(QString());
  UpdateTitle();
  proposedFileName_ = WithSuffix(*path, "ric");
  if (!stop.empty()) dialogs_.ShowWarning(this, QString::fromStdString(stop.front()));
}

void TForm_Tavlin::ShowLoadedDocument() {
  EnterModifyMode();
  SetListRows(ElementList.Count());
  SelectedIndex = 0;
  DrawGrid_RIC->SetRow(1, false);
  EditEventsEnabled = false;
  ShowElement(SelectedIndex);
  EditEventsEnabled = true;
  RefreshDocumentView();
}

void TForm_Tavlin::ExportRicScript1Click() {
  // The script is proposed beside the document, under its name.
  FileDialogSpec setup = kScriptSaveDialog;
  const QString document = CurrentFileName.isEmpty() ? proposedFileName_ : CurrentFileName;
  if (!document.isEmpty()) setup.fileName = WithSuffix(document, "rs");
  std::optional<QString> path = ChooseFileToWrite(dialogs_, this, setup);
  if (!path) return;
  TabSheet_Edit_Sprite->EndPreview();
  try {
    WriteRicScript(Local(*path));
  } catch (const TavlinError& e) {
    ShowFailure(QString::fromStdString(e.what()));
  }
}

}  // namespace tavlin
