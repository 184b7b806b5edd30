#include "RICParameterEdit.h"

#include <QApplication>
#include <QButtonGroup>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>

#include <algorithm>

namespace tavlin {

namespace {

const QColor kParameterColour(0xFF, 0xFF, 0xCC);
const QColor kMappedColour(0xDA, 0xF0, 0xFF);

// The number a spin edit stands for right now. While the user types, the
// text may be empty or half a number that the spin box has not taken yet;
// text that is no number counts as the edit's minimum, and a number is
// never taken outside the edit's range.
int SpinNumber(const QSpinBox* edit) {
  bool ok = false;
  const int number = edit->cleanText().toInt(&ok);
  if (!ok) return edit->minimum();
  return std::clamp(number, edit->minimum(), edit->maximum());
}

}  // namespace

THoldingSpinEdit::THoldingSpinEdit(QWidget* parent) : QSpinBox(parent) {
  setRange(MinimumLimit_, MaximumLimit_);
  // Connected before anyone else listens, so the range is back at its
  // limits before a user's change is reported (the spin box sends its text
  // before or after its number, depending on the Qt version: take both).
  connect(this, &QSpinBox::textChanged, this, [this] {
    if (!Writing_) Release();
  });
  connect(this, &QSpinBox::valueChanged, this, [this] {
    if (!Writing_) Release();
  });
}

void THoldingSpinEdit::SetRangeQuietly(int minimum, int maximum) {
  if (minimum == this->minimum() && maximum == this->maximum()) return;
  const QSignalBlocker quiet(this);
  setRange(minimum, maximum);
}

void THoldingSpinEdit::SetLimits(int minimum, int maximum) {
  MinimumLimit_ = minimum;
  MaximumLimit_ = std::max(minimum, maximum);
  Writing_ = true;
  if (Holding_)
    setRange(std::min(MinimumLimit_, value()), std::max(MaximumLimit_, value()));
  else
    setRange(MinimumLimit_, MaximumLimit_);
  Writing_ = false;
}

void THoldingSpinEdit::Hold(int number) {
  Writing_ = true;
  Holding_ = true;
  const int low = std::min(MinimumLimit_, number), high = std::max(MaximumLimit_, number);
  if (low != minimum() || high != maximum()) setRange(low, high);
  if (value() != number) setValue(number);
  Writing_ = false;
}

void THoldingSpinEdit::Release() {
  if (!Holding_) return;
  Holding_ = false;
  // A text the user has just emptied stays empty to type into; the spin box
  // would otherwise write the limited number into it.
  const bool typing = !hasAcceptableInput();
  const QString text = lineEdit()->text();
  SetRangeQuietly(MinimumLimit_, MaximumLimit_);
  if (typing && lineEdit()->text() != text) {
    const QSignalBlocker quiet(lineEdit());
    lineEdit()->setText(text);
  }
}

TRICParameterEdit::TRICParameterEdit(QWidget* parent) : QFrame(parent) {
  // On a page the control has no outer bevel; only the focused argument
  // gets one (see SpinEditEnter).
  setFrameStyle(QFrame::NoFrame);
  setAutoFillBackground(true);

  CaptionLabel_ = new QLabel(this);
  CaptionLabel_->setObjectName("CaptionLabel");
  CaptionLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  CaptionLabel_->setGeometry(0, 0, kDefaultWidth, kDefaultHeight);

  ConstantEdit = MakeSpinEdit("ConstantEdit", 84, 53, 0, 4095);
  ParameterEdit = MakeSpinEdit("ParameterEdit", 92, 45, 0, 255);
  MapIdEdit = MakeSpinEdit("MapIdEdit", 52, 37, 1, 10);
  MapParameterEdit = MakeSpinEdit("MapParameterEdit", 92, 45, 0, 255);

  ConstantButton = MakeButton("ConstantButton", "C", 138);
  ParameterButton = MakeButton("ParameterButton", "P", 154);
  MapButton = MakeButton("MapButton", "V", 170);

  // What the letters and boxes stand for, for those who do not know the RIC words.
  ConstantButton->setToolTip("C: a constant, the number typed in the box");
  ParameterButton->setToolTip(
      "P: a parameter, the current value of the parameter whose index is in the box");
  MapButton->setToolTip(
      "V: a value through a VarMap, a parameter's value looked up in a VarMap\n"
      "(left box: the VarMap's id, right box: the parameter's index)");
  ConstantEdit->setToolTip("The constant value");
  ParameterEdit->setToolTip("The parameter's index (0..255)");
  MapIdEdit->setToolTip("The id of the VarMap the parameter's value goes through (1..10)");
  MapParameterEdit->setToolTip(
      "The index of the parameter whose value goes through the VarMap (0..255)");

  // A group per control, so buttons of different controls stay independent.
  ModeButtons_ = new QButtonGroup(this);
  ModeButtons_->setExclusive(true);
  ModeButtons_->addButton(ConstantButton);
  ModeButtons_->addButton(ParameterButton);
  ModeButtons_->addButton(MapButton);
  connect(ModeButtons_, &QButtonGroup::buttonClicked, this, &TRICParameterEdit::ModeButtonClick);

  // The caption lies under the edits: the VarMap id edit covers its end.
  CaptionLabel_->lower();
  resize(kDefaultWidth, kDefaultHeight);

  // Apply the initial mode without telling anyone: nobody listens yet.
  const QSignalBlocker quiet(this);
  SetArgumentMode(ArgumentMode::Constant);
}

THoldingSpinEdit* TRICParameterEdit::MakeSpinEdit(const char* name, int left, int width,
                                                  int minimum, int maximum) {
  auto* edit = new THoldingSpinEdit(this);
  edit->setObjectName(name);
  edit->SetLimits(minimum, maximum);
  edit->setValue(minimum);
  edit->setGeometry(left, 3, width, 22);
  edit->installEventFilter(this);
  // Every change counts: a typed number and a step of the arrows or keys
  // come as the spin box's own text change (its line edit stays silent when
  // the spin box sets the text); a text that is no number yet (an emptied
  // edit, which reads as the minimum) comes only from the line edit.
  connect(edit, &QSpinBox::textChanged, this, [this, edit] { SpinEditChange(edit); });
  if (auto* line = edit->findChild<QLineEdit*>())
    connect(line, &QLineEdit::textChanged, this, [this, edit] {
      if (!edit->hasAcceptableInput()) SpinEditChange(edit);
    });
  return edit;
}

QToolButton* TRICParameterEdit::MakeButton(const char* name, const QString& text, int left) {
  auto* button = new QToolButton(this);
  button->setObjectName(name);
  button->setText(text);
  button->setCheckable(true);
  button->setAutoRaise(false);
  // Like a speed button it never takes the focus away from the edits.
  button->setFocusPolicy(Qt::NoFocus);
  button->setGeometry(left, 3, 15, 22);
  return button;
}

QSize TRICParameterEdit::sizeHint() const { return QSize(kDefaultWidth, kDefaultHeight); }

void TRICParameterEdit::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  CaptionLabel_->setGeometry(0, 0, width(), height());
}

QString TRICParameterEdit::Caption() const { return CaptionLabel_->text(); }

void TRICParameterEdit::setCaption(const QString& caption) { CaptionLabel_->setText(caption); }

RICArgument TRICParameterEdit::Value() const {
  if (HoldingWord_) return WrittenWord_;
  switch (ArgumentMode_) {
    case ArgumentMode::Parameter:
      return EncodeParameter(unsigned(SpinNumber(ParameterEdit)));
    case ArgumentMode::Mapped:
      return EncodeMapped(unsigned(SpinNumber(MapIdEdit)), unsigned(SpinNumber(MapParameterEdit)));
    case ArgumentMode::Constant:
      break;
  }
  return EncodeConstant(unsigned(SpinNumber(ConstantEdit)));
}

void TRICParameterEdit::setValue(RICArgument word) {
  const DecodedArgument argument = DecodeArgument(word);
  Writing_ = true;
  // The edits of the other forms go back to their ranges; those of this form
  // show the word's numbers as they are, even beyond the ranges (a constant
  // of 150 on a page that allows 0..99, a VarMap id of 12).
  for (THoldingSpinEdit* edit : {ConstantEdit, ParameterEdit, MapIdEdit, MapParameterEdit})
    edit->Release();
  switch (argument.Mode) {
    case ArgumentMode::Constant:
      ConstantEdit->Hold(argument.Constant);
      break;
    case ArgumentMode::Parameter:
      ParameterEdit->Hold(argument.Parameter);
      break;
    case ArgumentMode::Mapped:
      MapIdEdit->Hold(argument.MapId);
      MapParameterEdit->Hold(argument.Parameter);
      break;
  }
  WrittenWord_ = word;
  HoldingWord_ = true;
  SetArgumentMode(argument.Mode);
  Writing_ = false;
}

void TRICParameterEdit::DropWrittenWord() {
  if (Writing_) return;
  HoldingWord_ = false;
  for (THoldingSpinEdit* edit : {ConstantEdit, ParameterEdit, MapIdEdit, MapParameterEdit})
    edit->Release();
}

int TRICParameterEdit::MinValue() const { return ConstantEdit->MinimumLimit(); }

void TRICParameterEdit::setMinValue(int value) {
  ConstantEdit->SetLimits(value, std::max(value, ConstantEdit->MaximumLimit()));
}

int TRICParameterEdit::MaxValue() const { return ConstantEdit->MaximumLimit(); }

void TRICParameterEdit::setMaxValue(int value) {
  ConstantEdit->SetLimits(std::min(value, ConstantEdit->MinimumLimit()), value);
}

void TRICParameterEdit::SetArgumentMode(ArgumentMode mode) {
  DropWrittenWord();  // a new form chosen by the user
  ArgumentMode_ = mode;

  QPalette pal = palette();
  switch (mode) {
    case ArgumentMode::Constant:
      pal.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
      break;
    case ArgumentMode::Parameter:
      pal.setColor(QPalette::Window, kParameterColour);
      break;
    case ArgumentMode::Mapped:
      pal.setColor(QPalette::Window, kMappedColour);
      break;
  }
  setPalette(pal);

  ConstantEdit->setVisible(mode == ArgumentMode::Constant);
  ParameterEdit->setVisible(mode == ArgumentMode::Parameter);
  MapIdEdit->setVisible(mode == ArgumentMode::Mapped);
  MapParameterEdit->setVisible(mode == ArgumentMode::Mapped);

  switch (mode) {
    case ArgumentMode::Constant:
      ConstantButton->setChecked(true);
      break;
    case ArgumentMode::Parameter:
      ParameterButton->setChecked(true);
      break;
    case ArgumentMode::Mapped:
      MapButton->setChecked(true);
      break;
  }

  emit OnChange(this);
}

void TRICParameterEdit::ModeButtonClick(QAbstractButton* button) {
  if (button == ConstantButton) {
    SetArgumentMode(ArgumentMode::Constant);
    ConstantEdit->setFocus(Qt::MouseFocusReason);
  } else if (button == ParameterButton) {
    SetArgumentMode(ArgumentMode::Parameter);
    ParameterEdit->setFocus(Qt::MouseFocusReason);
  } else if (button == MapButton) {
    SetArgumentMode(ArgumentMode::Mapped);
    MapParameterEdit->setFocus(Qt::MouseFocusReason);
  }
}

void TRICParameterEdit::SpinEditChange(THoldingSpinEdit* edit) {
  if (!Writing_) {
    edit->Release();
    DropWrittenWord();
  }
  emit OnChange(this);
}

bool TRICParameterEdit::eventFilter(QObject* watched, QEvent* event) {
  const bool spinEdit = watched == ConstantEdit || watched == ParameterEdit ||
                        watched == MapIdEdit || watched == MapParameterEdit;
  if (spinEdit) {
    if (event->type() == QEvent::FocusIn)
      SpinEditEnter();
    else if (event->type() == QEvent::FocusOut)
      SpinEditExit();
  }
  return QFrame::eventFilter(watched, event);
}

void TRICParameterEdit::SpinEditEnter() {
  // Focus can move between two edits of this control; keep the style that
  // was there before the first of them got it.
  if (!BevelSaved_) {
    SavedFrameStyle_ = frameStyle();
    SavedLineWidth_ = lineWidth();
    BevelSaved_ = true;
  }
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(2);
}

void TRICParameterEdit::SpinEditExit() {
  if (!BevelSaved_) return;
  setFrameStyle(SavedFrameStyle_);
  setLineWidth(SavedLineWidth_);
  BevelSaved_ = false;
}

}  // namespace tavlin
