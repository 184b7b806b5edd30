// The window's side of the file on disk and of recovery copies: the bar that
// tells of a change made on disk, the questions Save asks before it writes
// over such a change or over a file not read completely, and the recovery
// copies offered at start.
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QStringList>

#include "DiskWatch.h"
#include "Document.h"
#include "FileIO.h"
#include "QtFilePaths.h"
#include "Recovery.h"
#include "RecoveryKeeper.h"
#include "RicFile.h"
#include "SpritePage.h"
#include "Tavlin_main.h"
#include "UserDialogs.h"

namespace tavlin {

void TForm_Tavlin::BuildDiskWatch() {
  diskWatch_ = new TDiskWatch(this);
  connect(diskWatch_, &TDiskWatch::ReloadRequested, this, [this] { ReloadFromDisk(); });
  recovery_ = new TRecoveryKeeper(
      this, [this] { return Modified(); },
      [this] {
        TRecoveryKeeper::Snapshot snapshot;
        switch (TabSheet_Edit_Sprite->SpriteToolValue()) {
          // The preview's pixels are on the sprite; its own are in the page's backup.
          case SpriteToolState::LineDragging:
          case SpriteToolState::RectangleDragging:
          case SpriteToolState::FilledRectangleDragging:
          case SpriteToolState::CircleDragging:
          case SpriteToolState::FilledCircleDragging:
          case SpriteToolState::EllipseDragging:
          case SpriteToolState::FilledEllipseDragging:
          case SpriteToolState::TextPlacing:
            snapshot.later = true;
            return snapshot;
          default:
            break;
        }
        try {
          snapshot.bytes = EncodeRic(ElementList());
        } catch (const TavlinError&) {
          snapshot.valid = false;  // too large for a file: Save says so
        }
        // Absolute: the editor that restores it may start in another folder.
        if (!currentFileName_.isEmpty())
          snapshot.fileName = LocalPath(QFileInfo(currentFileName_).absoluteFilePath());
        snapshot.stamp = diskWatch_->Stamp();
        return snapshot;
      });
}

TForm_Tavlin::SaveOver TForm_Tavlin::AskBeforeSavingOver() {
  const QString name = QFileInfo(currentFileName_).fileName();
  const DiskChange change = diskWatch_->ChangeNow();
  if (change != DiskChange::None) {
    const QString what = change == DiskChange::Deleted
                             ? "Saving writes it again."
                             : "Saving replaces what is there now with this document.";
    switch (dialogs_.AskChoice(this, diskWatch_->ChangeText(change) + "\n" + what,
                               {"Overwrite", "Save As", "Cancel"}, 1, 2)) {
      case 0:
        return SaveOver::Write;
      case 1:
        return SaveOver::SaveAs;
      default:
        return SaveOver::Stop;
    }
  }
  if (diskWatch_->PassedOver() > 0) {
    const QString text =
        QString(
            "%1 was not read completely (%2 bytes passed over). Saving replaces it with what "
            "was read.")
            .arg(name)
            .arg(diskWatch_->PassedOver());
    switch (dialogs_.AskChoice(this, text, {"Save As", "Overwrite", "Cancel"}, 0, 2)) {
      case 0:
        return SaveOver::SaveAs;
      case 1:
        return SaveOver::Write;
      default:
        return SaveOver::Stop;
    }
  }
  return SaveOver::Write;
}

void TForm_Tavlin::WriteRecoveryNow() { recovery_->WriteNow(); }

void TForm_Tavlin::OfferRecoveryCopies() {
  const std::string& folder = recovery_->Folder();
  for (const RecoveryCopy& copy : FindRecoveryCopies(folder)) {
    const QString file =
        copy.fileName.empty() ? QString("an untitled document") : QtPath(copy.fileName);
    const QString when =
        QDateTime::fromSecsSinceEpoch(copy.written).toString("yyyy-MM-dd hh:mm:ss");
    const QString text =
        QString(
            "Unsaved changes to %1 were kept when an editor ended without saving them (%2).\n\n"
            "Restore opens them as a modified document; the file itself stays as it is until "
            "you save. Later asks again at the next start.")
            .arg(file, when);
    switch (dialogs_.AskChoice(this, text, {"Restore", "Discard", "Later"}, 0, 2)) {
      case 0:
        RestoreRecoveryCopy(copy);
        break;
      case 1:
        RemoveRecoveryCopy(folder, copy.name);
        break;
      default:
        break;
    }
  }
}

bool TForm_Tavlin::RestoreRecoveryCopy(const RecoveryCopy& copy) {
  if (!AskSaveFirst()) return false;
  const std::string& folder = recovery_->Folder();
  std::vector<std::uint8_t> bytes;
  try {
    bytes = ReadRecoveryBytes(folder, copy);
  } catch (const TavlinError& e) {
    ShowFailure(QString::fromStdString(e.what()));
    return false;
  }
  Document().Reset(DecodeRic(bytes.data(), bytes.size()), copy.fileName);
  Document().MarkChanged();  // nothing of it is in the file yet
  currentFileName_ = QtPath(copy.fileName);
  proposedFileName_.clear();
  // The file as the other editor last knew it: a change made since shows when saving.
  if (copy.fileName.empty())
    diskWatch_->Forget();
  else
    diskWatch_->TrackStamp(currentFileName_, copy.stamp);
  ShowLoadedDocument();
  StatusPanel[6]->setText(currentFileName_);
  // This editor's own copy takes the old one's place before the old one goes.
  recovery_->WriteNow();
  RemoveRecoveryCopy(folder, copy.name);
  return true;
}

}  // namespace tavlin
