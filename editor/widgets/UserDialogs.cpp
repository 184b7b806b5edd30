#include "UserDialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QStringList>
#include <algorithm>

namespace tavlin {

QString QtFilterFromPipeFilter(const QString& filter) {
  QStringList parts = filter.split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    out << parts[i] + " (" + patterns + ")";
  }
  return out.join(";;");
}

bool QtUserDialogs::AskYesNo(QWidget* parent, const QString& text) {
  return QMessageBox::question(parent, QStringLiteral("Confirm"), text,
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

SaveAnswer QtUserDialogs::AskYesNoCancel(QWidget* parent, const QString& text) {
  // Esc and the box's close button give Cancel, never No.
  QMessageBox::StandardButton b = QMessageBox::question(
      parent, QStringLiteral("Confirm"), text,
      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
  if (b == QMessageBox::Yes) return SaveAnswer::Yes;
  if (b == QMessageBox::No) return SaveAnswer::No;
  return SaveAnswer::Cancel;
}

int QtUserDialogs::AskChoice(QWidget* parent, const QString& text, const QStringList& buttons,
                             int defaultButton, int escapeButton) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text, QMessageBox::NoButton,
                  parent);
  QList<QPushButton*> made;
  for (int i = 0; i < buttons.size(); ++i) {
    // The roles only place the buttons; the answer is the button itself.
    made << box.addButton(buttons[i],
                          i == escapeButton ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
  }
  if (defaultButton >= 0 && defaultButton < made.size()) box.setDefaultButton(made[defaultButton]);
  if (escapeButton >= 0 && escapeButton < made.size()) box.setEscapeButton(made[escapeButton]);
  box.exec();
  const int pressed = int(made.indexOf(qobject_cast<QPushButton*>(box.clickedButton())));
  return pressed >= 0 ? pressed : escapeButton;
}

std::optional<QString> QtUserDialogs::AskText(QWidget* parent, const QString& text,
                                              const QString& initial) {
  bool ok = false;
  const QString typed = QInputDialog::getText(parent, QStringLiteral("Tavlin"), text,
                                              QLineEdit::Normal, initial, &ok);
  if (!ok) return std::nullopt;
  return typed;
}

void QtUserDialogs::Inform(QWidget* parent, const QString& text) {
  QMessageBox::information(parent, QStringLiteral("Information"), text);
}

void QtUserDialogs::ShowError(QWidget* parent, const QString& text) {
  QMessageBox::critical(parent, QStringLiteral("Error"), text);
}

void QtUserDialogs::ShowWarning(QWidget* parent, const QString& text) {
  QMessageBox::warning(parent, QStringLiteral("Warning"), text);
}

namespace {
std::optional<QString> RunFileDialog(QWidget* parent, const FileDialogSpec& setup, bool save) {
  QFileDialog dialog(parent);
  dialog.setNameFilter(QtFilterFromPipeFilter(setup.filter));
  dialog.setDefaultSuffix(setup.defaultSuffix);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  // The window itself asks before a document or script replaces a file, so that tests can answer.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (!setup.fileName.isEmpty() && !setup.fileName.startsWith('*'))
    dialog.selectFile(setup.fileName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first();
}
}  // namespace

std::optional<QString> QtUserDialogs::ChooseOpenFile(QWidget* parent, const FileDialogSpec& setup) {
  return RunFileDialog(parent, setup, false);
}

std::optional<QString> QtUserDialogs::ChooseSaveFile(QWidget* parent, const FileDialogSpec& setup) {
  return RunFileDialog(parent, setup, true);
}

int QtUserDialogs::RunModal(QDialog* dialog) { return dialog->exec(); }

namespace {

// A window-modal QProgressDialog: while it shows, each update lets the
// window repaint and the Cancel button work.
class QtProgressWindow : public ProgressWindow {
 public:
  QtProgressWindow(QWidget* parent, const QString& text)
      : dialog_(text, QStringLiteral("Cancel"), 0, kProgressSteps, parent) {
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setMinimumDuration(500);
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
    dialog_.setValue(0);
  }
  bool Update(int done) override {
    dialog_.setValue(std::clamp(done, 0, kProgressSteps));
    return !dialog_.wasCanceled();
  }

 private:
  QProgressDialog dialog_;
};

}  // namespace

std::unique_ptr<ProgressWindow> QtUserDialogs::StartProgress(QWidget* parent, const QString& text) {
  return std::make_unique<QtProgressWindow>(parent, text);
}

}  // namespace tavlin
