// The argument edit control, driven as a user drives it: clicks on "C",
// "P" and "V", typing into the spin edits, focus moving between controls.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

#include "RICParameterEdit.h"

using tavlin::ArgumentMode;
using tavlin::TRICParameterEdit;

Q_DECLARE_METATYPE(tavlin::ArgumentMode)

namespace {

const QColor kParameterColour(0xFF, 0xFF, 0xCC);
const QColor kMappedColour(0xDA, 0xF0, 0xFF);

// Empties a spin edit with the keyboard, as a user deleting its text.
void EraseText(QSpinBox* edit) {
  QTest::keyClick(edit, Qt::Key_End);
  for (int i = 0; i < 6; ++i) QTest::keyClick(edit, Qt::Key_Backspace);
}

int ButtonsDown(const TRICParameterEdit& c) {
  return int(c.ConstantButton->isChecked()) + int(c.ParameterButton->isChecked()) +
         int(c.MapButton->isChecked());
}

QToolButton* ButtonOf(const TRICParameterEdit& c, ArgumentMode mode) {
  switch (mode) {
    case ArgumentMode::Parameter:
      return c.ParameterButton;
    case ArgumentMode::Mapped:
      return c.MapButton;
    case ArgumentMode::Constant:
      break;
  }
  return c.ConstantButton;
}

// A pixel of the control's own background, right of the three buttons.
QColor BackgroundPixel(TRICParameterEdit& c) { return c.grab().toImage().pixelColor(188, 14); }

}  // namespace

class RICParameterEditTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void partsAreNamedAndPlaced();
  void startsInConstantModeAtInitialValues();
  void writingDecodesIntoModeAndEdits_data();
  void writingDecodesIntoModeAndEdits();
  void writtenWordIsKeptUntilTheUserEditsIt();
  void emptiedEditReadsAsItsMinimum();
  void typedNumberIsReadAndReported();
  void typedNumberNeverLeavesTheRange();
  void arrowStepsAreReported();
  void modeButtonsSwitchModeAndFocus();
  void mapButtonOnFreshControlGivesFirstVarMap();
  void backgroundColourFollowsMode();
  void exactlyOneButtonDown();
  void writingValueAlwaysRaisesOnChange();
  void controlsDoNotShareButtons();
  void focusedArgumentGetsBevel();
  void captionIsShownLeftJustified();

 private:
  std::unique_ptr<QWidget> host_;
  TRICParameterEdit* a_ = nullptr;
  TRICParameterEdit* b_ = nullptr;
};

void RICParameterEditTest::init() {
  host_ = std::make_unique<QWidget>();
  auto* layout = new QVBoxLayout(host_.get());
  a_ = new TRICParameterEdit(host_.get());
  b_ = new TRICParameterEdit(host_.get());
  a_->setFixedSize(a_->sizeHint());
  b_->setFixedSize(b_->sizeHint());
  layout->addWidget(a_);
  layout->addWidget(b_);
  host_->show();
  QVERIFY(QTest::qWaitForWindowExposed(host_.get()));
  host_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(host_.get()));
}

void RICParameterEditTest::cleanup() { host_.reset(); }

void RICParameterEditTest::partsAreNamedAndPlaced() {
  TRICParameterEdit fresh;
  QCOMPARE(fresh.size(), QSize(191, 28));
  const struct {
    const char* name;
    QRect geometry;
  } parts[] = {
      {"ConstantEdit", {84, 3, 53, 22}},    {"ParameterEdit", {92, 3, 45, 22}},
      {"MapIdEdit", {52, 3, 37, 22}},       {"MapParameterEdit", {92, 3, 45, 22}},
      {"ConstantButton", {138, 3, 15, 22}}, {"ParameterButton", {154, 3, 15, 22}},
      {"MapButton", {170, 3, 15, 22}},
  };
  for (const auto& part : parts) {
    auto* widget = fresh.findChild<QWidget*>(part.name);
    QVERIFY2(widget, part.name);
    QCOMPARE(widget->geometry(), part.geometry);
    QVERIFY2(!widget->toolTip().isEmpty(), part.name);  // says what the letter or box means
  }
  QCOMPARE(fresh.findChild<QToolButton*>("ConstantButton")->text(), QString("C"));
  QCOMPARE(fresh.findChild<QToolButton*>("ParameterButton")->text(), QString("P"));
  QCOMPARE(fresh.findChild<QToolButton*>("MapButton")->text(), QString("V"));
  // On a page there is no outer bevel.
  QCOMPARE(fresh.frameShape(), QFrame::NoFrame);
}

void RICParameterEditTest::startsInConstantModeAtInitialValues() {
  QCOMPARE(a_->argumentMode(), ArgumentMode::Constant);
  QCOMPARE(a_->Value(), tavlin::RICArgument(0));
  QCOMPARE(a_->MinValue(), 0);
  QCOMPARE(a_->MaxValue(), 4095);
  QCOMPARE(a_->ConstantEdit->maximum(), 4095);
  QCOMPARE(a_->ParameterEdit->value(), 0);
  QCOMPARE(a_->MapIdEdit->value(), 1);
  QCOMPARE(a_->MapParameterEdit->value(), 0);
  QVERIFY(a_->ConstantButton->isChecked());
  QVERIFY(a_->ConstantEdit->isVisible());
  QVERIFY(!a_->ParameterEdit->isVisible());
  QVERIFY(!a_->MapIdEdit->isVisible());
  QVERIFY(!a_->MapParameterEdit->isVisible());
}

void RICParameterEditTest::writingDecodesIntoModeAndEdits_data() {
  QTest::addColumn<int>("word");
  QTest::addColumn<ArgumentMode>("mode");
  QTest::addColumn<int>("number");  // constant or parameter index
  QTest::addColumn<int>("mapId");
  QTest::addColumn<int>("readBack");

  QTest::newRow("constant 0") << 0x0000 << ArgumentMode::Constant << 0 << 0 << 0x0000;
  QTest::newRow("constant 37") << 0x0025 << ArgumentMode::Constant << 37 << 0 << 0x0025;
  QTest::newRow("constant 4095") << 0x0FFF << ArgumentMode::Constant << 4095 << 0 << 0x0FFF;
  QTest::newRow("parameter 0") << 0xF000 << ArgumentMode::Parameter << 0 << 0 << 0xF000;
  QTest::newRow("parameter 255") << 0xF0FF << ArgumentMode::Parameter << 255 << 0 << 0xF0FF;
  QTest::newRow("varmap 1 parameter 0") << 0xF100 << ArgumentMode::Mapped << 0 << 1 << 0xF100;
  QTest::newRow("varmap 10 parameter 255") << 0xFAFF << ArgumentMode::Mapped << 255 << 10 << 0xFAFF;
  // Any non-zero tag nibble marks a reference; the word reads back as it
  // was written, and VarMap ids beyond the edit's range show as they are.
  QTest::newRow("tag 1 parameter") << 0x1005 << ArgumentMode::Parameter << 5 << 0 << 0x1005;
  QTest::newRow("tag 1 mapped") << 0x1234 << ArgumentMode::Mapped << 0x34 << 2 << 0x1234;
  QTest::newRow("varmap 12") << 0xFC05 << ArgumentMode::Mapped << 5 << 12 << 0xFC05;
  QTest::newRow("varmap 15") << 0x8F77 << ArgumentMode::Mapped << 0x77 << 15 << 0x8F77;
}

void RICParameterEditTest::writingDecodesIntoModeAndEdits() {
  QFETCH(int, word);
  QFETCH(ArgumentMode, mode);
  QFETCH(int, number);
  QFETCH(int, mapId);
  QFETCH(int, readBack);

  a_->setValue(tavlin::RICArgument(word));
  QCOMPARE(a_->argumentMode(), mode);
  QVERIFY(ButtonOf(*a_, mode)->isChecked());
  switch (mode) {
    case ArgumentMode::Constant:
      QCOMPARE(a_->ConstantEdit->value(), number);
      break;
    case ArgumentMode::Parameter:
      QCOMPARE(a_->ParameterEdit->value(), number);
      break;
    case ArgumentMode::Mapped:
      QCOMPARE(a_->MapIdEdit->value(), mapId);
      QCOMPARE(a_->MapParameterEdit->value(), number);
      break;
  }
  QCOMPARE(a_->ConstantEdit->isVisible(), mode == ArgumentMode::Constant);
  QCOMPARE(a_->ParameterEdit->isVisible(), mode == ArgumentMode::Parameter);
  QCOMPARE(a_->MapIdEdit->isVisible(), mode == ArgumentMode::Mapped);
  QCOMPARE(a_->MapParameterEdit->isVisible(), mode == ArgumentMode::Mapped);
  QCOMPARE(int(a_->Value()), readBack);
}

void RICParameterEditTest::writtenWordIsKeptUntilTheUserEditsIt() {
  // A constant beyond the page's range shows and reads as it was written...
  a_->setMinValue(0);
  a_->setMaxValue(99);
  a_->setValue(150);
  QCOMPARE(a_->ConstantEdit->text(), QString("150"));
  QCOMPARE(int(a_->Value()), 150);
  // ...until the user edits it: then the range holds.
  QSignalSpy changes(a_, &TRICParameterEdit::OnChange);
  a_->ConstantEdit->stepBy(-1);
  QCOMPARE(int(a_->Value()), 99);
  QCOMPARE(a_->ConstantEdit->text(), QString("99"));
  QCOMPARE(changes.count(), 1);
  // An emptied text stays empty to type into.
  a_->setValue(150);
  a_->ConstantEdit->selectAll();
  QTest::keyClick(a_->ConstantEdit, Qt::Key_Delete);
  QCOMPARE(a_->ConstantEdit->text(), QString());
  QTest::keyClicks(a_->ConstantEdit, "42");
  QCOMPARE(int(a_->Value()), 42);

  // Switching the form or editing a reference encodes it anew.
  a_->setValue(0x1005);
  QTest::mouseClick(a_->ParameterButton, Qt::LeftButton);
  QCOMPARE(int(a_->Value()), 0xF005);
  a_->setValue(0xFC05);
  a_->MapParameterEdit->stepBy(1);
  QCOMPARE(int(a_->Value()), 0xFA06);
}

void RICParameterEditTest::emptiedEditReadsAsItsMinimum() {
  // The sprite id edit of a CopyBits page: 1..10.
  a_->setMinValue(1);
  a_->setMaxValue(10);
  QCOMPARE(a_->MinValue(), 1);
  QCOMPARE(a_->MaxValue(), 10);
  a_->setValue(7);
  QSignalSpy changes(a_, &TRICParameterEdit::OnChange);
  EraseText(a_->ConstantEdit);
  QVERIFY(a_->ConstantEdit->text().isEmpty());
  QCOMPARE(int(a_->Value()), 1);
  QVERIFY(changes.count() >= 1);

  // The same holds for the VarMap id of a mapped reference.
  QTest::mouseClick(a_->MapButton, Qt::LeftButton);
  EraseText(a_->MapParameterEdit);
  QTest::keyClicks(a_->MapParameterEdit, "9");
  EraseText(a_->MapIdEdit);
  QCOMPARE(int(a_->Value()), 0xF109);
}

void RICParameterEditTest::typedNumberIsReadAndReported() {
  QSignalSpy changes(b_, &TRICParameterEdit::OnChange);
  EraseText(b_->ConstantEdit);
  changes.clear();
  QTest::keyClicks(b_->ConstantEdit, "37");
  QCOMPARE(int(b_->Value()), 37);
  QCOMPARE(changes.count(), 2);  // one per keystroke
  QCOMPARE(changes.last().at(0).value<TRICParameterEdit*>(), b_);

  QTest::mouseClick(b_->ParameterButton, Qt::LeftButton);
  EraseText(b_->ParameterEdit);
  QTest::keyClicks(b_->ParameterEdit, "200");
  QCOMPARE(int(b_->Value()), 0xF0C8);
}

void RICParameterEditTest::arrowStepsAreReported() {
  // The spin box sets its own text on a step, with its line edit silent:
  // the step must still reach OnChange, or the element keeps its old value.
  a_->setValue(5);
  QSignalSpy changes(a_, &TRICParameterEdit::OnChange);
  a_->ConstantEdit->setFocus();
  QTest::keyClick(a_->ConstantEdit, Qt::Key_Up);
  QCOMPARE(int(a_->Value()), 6);
  QCOMPARE(changes.count(), 1);
  a_->ConstantEdit->stepBy(-2);
  QCOMPARE(int(a_->Value()), 4);
  QCOMPARE(changes.count(), 2);
}

void RICParameterEditTest::typedNumberNeverLeavesTheRange() {
  EraseText(a_->ConstantEdit);
  QTest::keyClicks(a_->ConstantEdit, "5000");
  const int value = a_->Value();
  QVERIFY2(value <= 4095, qPrintable(QString::number(value)));
  QCOMPARE(value, a_->ConstantEdit->text().toInt());

  EraseText(a_->ConstantEdit);
  a_->setMinValue(100);
  QTest::keyClicks(a_->ConstantEdit, "5");  // on the way to 500
  QCOMPARE(int(a_->Value()), 100);
}

void RICParameterEditTest::modeButtonsSwitchModeAndFocus() {
  QTest::mouseClick(a_->ParameterButton, Qt::LeftButton);
  QCOMPARE(a_->argumentMode(), ArgumentMode::Parameter);
  QTRY_VERIFY(a_->ParameterEdit->hasFocus());
  QCOMPARE(int(a_->Value()), 0xF000);

  QTest::mouseClick(a_->MapButton, Qt::LeftButton);
  QCOMPARE(a_->argumentMode(), ArgumentMode::Mapped);
  QTRY_VERIFY(a_->MapParameterEdit->hasFocus());

  QTest::mouseClick(a_->ConstantButton, Qt::LeftButton);
  QCOMPARE(a_->argumentMode(), ArgumentMode::Constant);
  QTRY_VERIFY(a_->ConstantEdit->hasFocus());
  QCOMPARE(int(a_->Value()), 0);
}

void RICParameterEditTest::mapButtonOnFreshControlGivesFirstVarMap() {
  QSignalSpy changes(a_, &TRICParameterEdit::OnChange);
  QTest::mouseClick(a_->MapButton, Qt::LeftButton);
  QCOMPARE(int(a_->Value()), 0xF100);
  QVERIFY(changes.count() >= 1);
  QCOMPARE(changes.last().at(0).value<TRICParameterEdit*>(), a_);
}

void RICParameterEditTest::backgroundColourFollowsMode() {
  const QColor buttonFace = QApplication::palette().color(QPalette::Button);
  QVERIFY(a_->autoFillBackground());
  QCOMPARE(a_->palette().color(QPalette::Window), buttonFace);
  QCOMPARE(BackgroundPixel(*a_), buttonFace);

  QTest::mouseClick(a_->ParameterButton, Qt::LeftButton);
  QCOMPARE(a_->palette().color(QPalette::Window), kParameterColour);
  QCOMPARE(BackgroundPixel(*a_), kParameterColour);

  QTest::mouseClick(a_->MapButton, Qt::LeftButton);
  QCOMPARE(BackgroundPixel(*a_), kMappedColour);

  a_->setValue(0x0005);
  QCOMPARE(BackgroundPixel(*a_), buttonFace);
  // The other control kept its own colour.
  QCOMPARE(BackgroundPixel(*b_), buttonFace);
}

void RICParameterEditTest::exactlyOneButtonDown() {
  QCOMPARE(ButtonsDown(*a_), 1);
  // Clicking the button that is already down leaves it down.
  QTest::mouseClick(a_->ConstantButton, Qt::LeftButton);
  QVERIFY(a_->ConstantButton->isChecked());
  QCOMPARE(ButtonsDown(*a_), 1);
  for (QToolButton* button : {a_->MapButton, a_->ParameterButton, a_->ParameterButton}) {
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(button->isChecked());
    QCOMPARE(ButtonsDown(*a_), 1);
  }
  for (int word : {0xF300, 0x0010, 0xF010}) {
    a_->setValue(tavlin::RICArgument(word));
    QCOMPARE(ButtonsDown(*a_), 1);
  }
}

void RICParameterEditTest::writingValueAlwaysRaisesOnChange() {
  QSignalSpy changes(a_, &TRICParameterEdit::OnChange);
  a_->setValue(0);  // what the fresh control already holds
  QVERIFY(changes.count() >= 1);
  QCOMPARE(changes.last().at(0).value<TRICParameterEdit*>(), a_);

  a_->setValue(0xF234);
  changes.clear();
  a_->setValue(0xF234);
  QVERIFY(changes.count() >= 1);
}

void RICParameterEditTest::controlsDoNotShareButtons() {
  QTest::mouseClick(a_->MapButton, Qt::LeftButton);
  QVERIFY(a_->MapButton->isChecked());
  QVERIFY(b_->ConstantButton->isChecked());
  QCOMPARE(ButtonsDown(*b_), 1);
  QCOMPARE(b_->argumentMode(), ArgumentMode::Constant);

  QSignalSpy aChanges(a_, &TRICParameterEdit::OnChange);
  QTest::mouseClick(b_->ParameterButton, Qt::LeftButton);
  QVERIFY(a_->MapButton->isChecked());
  QCOMPARE(ButtonsDown(*a_), 1);
  QCOMPARE(int(a_->Value()), 0xF100);
  QCOMPARE(int(b_->Value()), 0xF000);
  QCOMPARE(aChanges.count(), 0);
}

void RICParameterEditTest::focusedArgumentGetsBevel() {
  auto clickInto = [](QSpinBox* edit) {
    QTest::mouseClick(edit->findChild<QLineEdit*>(), Qt::LeftButton);
    QTRY_VERIFY(edit->hasFocus());
  };
  auto hasBevel = [](const TRICParameterEdit* c) {
    return c->frameShape() == QFrame::Panel && c->frameShadow() == QFrame::Raised &&
           c->lineWidth() == 2;
  };
  auto isPlain = [](const TRICParameterEdit* c) {
    return c->frameShape() == QFrame::NoFrame && c->lineWidth() == 1;
  };

  clickInto(b_->ConstantEdit);
  QVERIFY(hasBevel(b_));
  QVERIFY(isPlain(a_));

  // Focus moving to another control takes the bevel with it.
  clickInto(a_->ConstantEdit);
  QVERIFY(hasBevel(a_));
  QVERIFY(isPlain(b_));

  // Between the two edits of a mapped reference the bevel stays, and it
  // goes when the focus leaves the control.
  QTest::mouseClick(b_->MapButton, Qt::LeftButton);
  QTRY_VERIFY(b_->MapParameterEdit->hasFocus());
  QVERIFY(hasBevel(b_));
  QVERIFY(isPlain(a_));
  clickInto(b_->MapIdEdit);
  QVERIFY(hasBevel(b_));
  clickInto(a_->ConstantEdit);
  QVERIFY(isPlain(b_));
  QVERIFY(hasBevel(a_));

  // Leaving the window takes it away too, coming back brings it back.
  auto other = std::make_unique<QWidget>();
  other->show();
  other->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(other.get()));
  QVERIFY(isPlain(a_));
  other.reset();
  host_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(host_.get()));
  QTRY_VERIFY(a_->ConstantEdit->hasFocus());
  QVERIFY(hasBevel(a_));
  QVERIFY(isPlain(b_));
}

void RICParameterEditTest::captionIsShownLeftJustified() {
  a_->setCaption("  Pos X");
  QCOMPARE(a_->Caption(), QString("  Pos X"));
  auto* label = a_->findChild<QLabel*>("CaptionLabel");
  QVERIFY(label);
  QCOMPARE(label->text(), QString("  Pos X"));
  QVERIFY(label->alignment() & Qt::AlignLeft);
  QCOMPARE(label->x(), 0);
}

QTEST_MAIN(RICParameterEditTest)
#include "ricparameteredit_test.moc"
