// UserDialogs: every question, notice, error box and file dialog of the editor
// goes through this interface, so that tests can answer them without a modal window.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QDialog;
class QWidget;

namespace tavlin {

// A file dialog as the editor sets it up: filter in the "Description|*.ext" form.
struct FileDialogSpec {
  QString filter;
  QString defaultSuffix;  // without the dot: "ric"
  QString fileName;       // preset file name or path
  bool mustExist = false;
};

// The answer to a "save first?" question; Cancel (also Esc or closing the box) aborts the command.
enum class SaveAnswer { Yes, No, Cancel };

// The progress window of a long command, with a Cancel button; it closes
// when this object goes away.
class ProgressWindow {
 public:
  virtual ~ProgressWindow() = default;
  // Shows how far the command is, 0 to kProgressSteps; false once the user
  // has cancelled.
  virtual bool Update(int done) = 0;
  static constexpr int kProgressSteps = 1000;
};

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;
  // A confirmation with Yes and No; true for Yes.
  virtual bool AskYesNo(QWidget* parent, const QString& text) = 0;
  // A question with Yes, No and Cancel.
  virtual SaveAnswer AskYesNoCancel(QWidget* parent, const QString& text) = 0;
  // A question with the buttons named (the first at the left); returns the
  // index of the one pressed. Esc and closing the box give `escapeButton`.
  virtual int AskChoice(QWidget* parent, const QString& text, const QStringList& buttons,
                        int defaultButton, int escapeButton) = 0;
  // A line of text to type, `initial` filled in; nothing when the user cancels.
  virtual std::optional<QString> AskText(QWidget* parent, const QString& text,
                                         const QString& initial) = 0;
  virtual void Inform(QWidget* parent, const QString& text) = 0;
  virtual void ShowError(QWidget* parent, const QString& text) = 0;
  // Something the user should know that did not stop the command (a damaged file was read in part).
  virtual void ShowWarning(QWidget* parent, const QString& text) = 0;
  // The chosen path, or nothing when the user cancels.
  virtual std::optional<QString> ChooseOpenFile(QWidget* parent, const FileDialogSpec& setup) = 0;
  virtual std::optional<QString> ChooseSaveFile(QWidget* parent, const FileDialogSpec& setup) = 0;
  // Runs a dialog modally.
  virtual int RunModal(QDialog* dialog) = 0;
  // A progress window for a command that may take a while; it shows only
  // when the command does.
  virtual std::unique_ptr<ProgressWindow> StartProgress(QWidget* parent, const QString& text) = 0;
};

// The real one: QMessageBox and QFileDialog.
class QtUserDialogs : public UserDialogs {
 public:
  bool AskYesNo(QWidget* parent, const QString& text) override;
  SaveAnswer AskYesNoCancel(QWidget* parent, const QString& text) override;
  int AskChoice(QWidget* parent, const QString& text, const QStringList& buttons, int defaultButton,
                int escapeButton) override;
  std::optional<QString> AskText(QWidget* parent, const QString& text,
                                 const QString& initial) override;
  void Inform(QWidget* parent, const QString& text) override;
  void ShowError(QWidget* parent, const QString& text) override;
  void ShowWarning(QWidget* parent, const QString& text) override;
  std::optional<QString> ChooseOpenFile(QWidget* parent, const FileDialogSpec& setup) override;
  std::optional<QString> ChooseSaveFile(QWidget* parent, const FileDialogSpec& setup) override;
  int RunModal(QDialog* dialog) override;
  std::unique_ptr<ProgressWindow> StartProgress(QWidget* parent, const QString& text) override;
};

// "letters.ric" with another suffix: "letters.rs"; a name without one gets it added.
QString WithSuffix(const QString& path, const QString& suffix);

// Runs a save dialog until the user names a new file or agrees to replace an
// existing one (No goes back to the dialog); nothing when the dialog is cancelled.
// `target`, when given, turns the chosen name into the one that will be
// written (an extension added), which is the one asked about.
std::optional<QString> ChooseFileToWrite(UserDialogs& dialogs, QWidget* parent,
                                         FileDialogSpec setup,
                                         const std::function<QString(const QString&)>& target = {});

// "MINDSTORMS graphic files|*.ric" -> "MINDSTORMS graphic files (*.ric)".
QString QtFilterFromPipeFilter(const QString& filter);

}  // namespace tavlin
