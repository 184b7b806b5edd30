// TRICParameterEdit: the control with which an element page edits one
// argument word. It shows a caption and, depending on the argument's form,
// a constant, a parameter index or a VarMap id with a parameter index; the
// three buttons "C", "P" and "V" switch between the forms. Every change is
// reported through OnChange so the page can write its element back.
#pragma once

#include <QFrame>
#include <QSpinBox>

#include "RICArgument.h"

class QButtonGroup;
class QLabel;
class QToolButton;
class QAbstractButton;

namespace tavlin {

// A spin edit that shows a number written into it as it is, also one outside
// the range the user may enter (a file may bring any value): its range widens
// to take the number in. The first change the user makes takes the range back
// to its limits, which holds the edited number to them.
class THoldingSpinEdit : public QSpinBox {
  Q_OBJECT

 public:
  explicit THoldingSpinEdit(QWidget* parent = nullptr);

  // The range the user's numbers are held to.
  void SetLimits(int minimum, int maximum);
  int MinimumLimit() const { return MinimumLimit_; }
  int MaximumLimit() const { return MaximumLimit_; }

  // Shows the number as it is until the user changes it.
  void Hold(int number);
  bool Holding() const { return Holding_; }
  // The user took over: the range becomes the limits again (silently; the
  // change that caused it is being reported already).
  void Release();

 private:
  void SetRangeQuietly(int minimum, int maximum);

  int MinimumLimit_ = 0;
  int MaximumLimit_ = 99;
  bool Holding_ = false;
  bool Writing_ = false;  // set while the program, not the user, changes the number
};

class TRICParameterEdit : public QFrame {
  Q_OBJECT

 public:
  static constexpr int kDefaultWidth = 191;
  static constexpr int kDefaultHeight = 28;

  explicit TRICParameterEdit(QWidget* parent = nullptr);

  // The argument word: writing decodes the word into the edits and switches
  // to its mode (which always raises OnChange, also when nothing changed).
  // Reading gives the written word unchanged until the user edits the
  // control, and from then on encodes the current mode's edits, held to
  // their ranges.
  RICArgument Value() const;
  void setValue(RICArgument word);

  // Bounds of the numbers the user may give ConstantEdit.
  int MinValue() const;
  void setMinValue(int value);
  int MaxValue() const;
  void setMaxValue(int value);

  ArgumentMode argumentMode() const { return ArgumentMode_; }
  void SetArgumentMode(ArgumentMode mode);

  QString Caption() const;
  void setCaption(const QString& caption);

  QSize sizeHint() const override;

  // The parts, named as the pages and tests know them.
  THoldingSpinEdit* ConstantEdit;
  THoldingSpinEdit* ParameterEdit;
  THoldingSpinEdit* MapIdEdit;
  THoldingSpinEdit* MapParameterEdit;
  QToolButton* ConstantButton;
  QToolButton* ParameterButton;
  QToolButton* MapButton;

 signals:
  void OnChange(tavlin::TRICParameterEdit* sender);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private slots:
  void ModeButtonClick(QAbstractButton* button);

 private:
  THoldingSpinEdit* MakeSpinEdit(const char* name, int left, int width, int minimum, int maximum);
  void SpinEditChange(THoldingSpinEdit* edit);
  // The user has edited the control: the written word is no longer read.
  void DropWrittenWord();
  QToolButton* MakeButton(const char* name, const QString& text, int left);
  void SpinEditEnter();
  void SpinEditExit();

  QLabel* CaptionLabel_;
  QButtonGroup* ModeButtons_;
  ArgumentMode ArgumentMode_ = ArgumentMode::Constant;

  // The word last written, read back as it is until the user edits.
  RICArgument WrittenWord_ = 0;
  bool HoldingWord_ = false;
  bool Writing_ = false;  // set while setValue fills the edits

  // The frame style in effect before a spin edit got the focus.
  bool BevelSaved_ = false;
  int SavedFrameStyle_ = 0;
  int SavedLineWidth_ = 0;
};

}  // namespace tavlin
