// A UserDialogs for tests: answers come from queues, and every question,
// notice and error is recorded. An unexpected question fails the test.
#pragma once

#include <QStringList>
#include <QTest>
#include <deque>
#include <functional>
#include <memory>

#include "Document.h"
#include "DocumentUnit.h"
#include "ParameterFile.h"
#include "Tavlin_main.h"
#include "UserDialogs.h"

class ScriptedDialogs : public tavlin::UserDialogs {
 public:
  std::deque<bool> answers;
  // Answers to Yes/No/Cancel questions; an empty queue fails the test.
  std::deque<tavlin::SaveAnswer> saveAnswers;
  std::deque<std::optional<QString>> files;
  // Typed answers; without one, the text offered is taken as it is.
  std::deque<std::optional<QString>> texts;
  QStringList textQuestions;
  QStringList questions, notices, errors, warnings, fileFilters, fileNames;
  int modalRuns = 0;

  std::optional<QString> AskText(QWidget*, const QString& text, const QString& initial) override {
    textQuestions << text + " [" + initial + "]";
    if (texts.empty()) return initial;
    const bool cancelled = !texts.front().has_value();
    const QString typed = texts.front().value_or(QString());
    texts.pop_front();
    if (cancelled) return std::nullopt;
    return typed;
  }

  bool AskYesNo(QWidget*, const QString& text) override {
    questions << text;
    if (answers.empty()) {
      QTest::qFail(qPrintable("unexpected question: " + text), __FILE__, __LINE__);
      return false;
    }
    bool a = answers.front();
    answers.pop_front();
    return a;
  }
  tavlin::SaveAnswer AskYesNoCancel(QWidget*, const QString& text) override {
    questions << text;
    if (saveAnswers.empty()) {
      QTest::qFail(qPrintable("unexpected question: " + text), __FILE__, __LINE__);
      return tavlin::SaveAnswer::Cancel;
    }
    tavlin::SaveAnswer a = saveAnswers.front();
    saveAnswers.pop_front();
    return a;
  }
  // Answers to questions with named buttons: the index of the button pressed.
  std::deque<int> choices;
  QStringList choiceButtons;  // each question's buttons, joined by '/', the default marked '*'
  int AskChoice(QWidget*, const QString& text, const QStringList& buttons, int defaultButton,
                int) override {
    questions << text;
    QStringList shown = buttons;
    if (defaultButton >= 0 && defaultButton < shown.size()) shown[defaultButton] += '*';
    choiceButtons << shown.join('/');
    if (choices.empty()) {
      QTest::qFail(qPrintable("unexpected question: " + text), __FILE__, __LINE__);
      return int(buttons.size()) - 1;
    }
    int a = choices.front();
    choices.pop_front();
    return a;
  }
  void Inform(QWidget*, const QString& text) override { notices << text; }
  void ShowError(QWidget*, const QString& text) override { errors << text; }
  void ShowWarning(QWidget*, const QString& text) override { warnings << text; }
  std::optional<QString> ChooseOpenFile(QWidget*, const tavlin::FileDialogSpec& setup) override {
    return NextFile(setup);
  }
  std::optional<QString> ChooseSaveFile(QWidget*, const tavlin::FileDialogSpec& setup) override {
    return NextFile(setup);
  }
  // Answers a modal dialog: fills it and returns its result; without a
  // script the dialog is cancelled.
  std::function<int(QDialog*)> modalScript;
  int RunModal(QDialog* dialog) override {
    ++modalRuns;
    return modalScript ? modalScript(dialog) : 0;
  }
  // Progress windows started, and their updates; the update numbered
  // cancelAtUpdate (from 1) answers as a Cancel click would.
  QStringList progressTexts;
  int progressUpdates = 0;
  int cancelAtUpdate = 0;
  std::unique_ptr<tavlin::ProgressWindow> StartProgress(QWidget*, const QString& text) override {
    progressTexts << text;
    return std::make_unique<Progress>(*this);
  }

 private:
  struct Progress : tavlin::ProgressWindow {
    explicit Progress(ScriptedDialogs& owner) : owner(owner) {}
    bool Update(int) override { return ++owner.progressUpdates != owner.cancelAtUpdate; }
    ScriptedDialogs& owner;
  };

  std::optional<QString> NextFile(const tavlin::FileDialogSpec& setup) {
    fileFilters << setup.filter;
    fileNames << setup.fileName;
    if (files.empty()) {
      QTest::qFail("unexpected file dialog", __FILE__, __LINE__);
      return std::nullopt;
    }
    std::optional<QString> chosen;
    if (files.front()) chosen = *files.front();
    files.pop_front();
    return chosen;
  }
};

// A widget of `window` by its object name; the test program stops when there is none.
template <class T>
T* FindChild(QObject* window, const QString& name) {
  T* child = window->findChild<T*>(name);
  if (!child) qFatal("no widget %s", qPrintable(name));
  return child;
}

// A fresh document (no elements, parameters 0, the placeholder sprite) in a
// shown main window that asks `dialogs`.
inline std::unique_ptr<tavlin::TForm_Tavlin> StartEditor(tavlin::UserDialogs& dialogs) {
  auto document = std::make_unique<tavlin::RICDocument>();
  tavlin::StartDocumentUnit(*document);
  document->Parameters().ParameterSet.fill(0);
  auto window = std::make_unique<tavlin::TForm_Tavlin>(dialogs, std::move(document));
  window->show();
  return window;
}
