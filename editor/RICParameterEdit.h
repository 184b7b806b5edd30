// TRICParameterEdit: the control with which an element page edits one
// argument word. It shows a caption and, depending on the argument's form,
// a constant, a parameter index or a VarMap id with a parameter index; the
// three buttons "C", "P" and "V" switch between the forms. Every change is
// reported through OnChange so the page can write its element back.
#pragma once

#include <QFrame>

#include "RICArgument.h"

class QButtonGroup;
class QLabel;
class QSpinBox;
class QToolButton;
class QAbstractButton;

namespace tavlin {

class TRICParameterEdit : public QFrame {
  Q_OBJECT

 public:
  static constexpr int kDefaultWidth = 191;
  static constexpr int kDefaultHeight = 28;

  explicit TRICParameterEdit(QWidget* parent = nullptr);

  // The argument word: reading encodes the current mode's edits, writing
  // decodes the word into the edits and switches to its mode (which always
  // raises OnChange, also when nothing changed).
  RICArgument Value() const;
  void setValue(RICArgument word);

  // Bounds of ConstantEdit only.
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
  QSpinBox* ConstantEdit;
  QSpinBox* ParameterEdit;
  QSpinBox* MapIdEdit;
  QSpinBox* MapParameterEdit;
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
  void SpinEditChange();

 private:
  QSpinBox* MakeSpinEdit(const char* name, int left, int width, int minimum, int maximum);
  QToolButton* MakeButton(const char* name, const QString& text, int left);
  void SpinEditEnter();
  void SpinEditExit();

  QLabel* CaptionLabel_;
  QButtonGroup* ModeButtons_;
  ArgumentMode ArgumentMode_ = ArgumentMode::Constant;

  // The frame style in effect before a spin edit got the focus.
  bool BevelSaved_ = false;
  int SavedFrameStyle_ = 0;
  int SavedLineWidth_ = 0;
};

}  // namespace tavlin
