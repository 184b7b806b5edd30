// The copy options' named choices.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "CopyOptionChoices.h"
#include "Document.h"
#include "NxtImage.h"
#include "RICParameterEdit.h"
#include "ScriptedDialogs.h"
#include "Tavlin_main.h"

using namespace tavlin;

class DisplayModeTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  std::unique_ptr<ScriptedDialogs> dialogs_;
  std::unique_ptr<TForm_Tavlin> w_;

  TCopyOptionChoices* Choices(const char* edit) {
    auto* c = w_->findChild<TCopyOptionChoices*>(QString(edit) + "_Choices");
    if (!c) qFatal("no choices beside %s", edit);
    return c;
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    qputenv("XDG_CONFIG_HOME", dir_.filePath("config").toLocal8Bit());
  }
  void init() {
    dialogs_ = std::make_unique<ScriptedDialogs>();
    w_ = StartEditor(*dialogs_);
  }
  void cleanup() {
    TheDocument().MarkSaved();
    w_.reset();
  }

  void choicesWriteTheWordKeepingItsOtherBits() {
    struct Case {
      RICElementKind kind;
      const char* edit;
      RICArgument start;
      int mode;  // the mode choice's entry
      QCheckBox* TCopyOptionChoices::*box;
      RICArgument expected;
    };
    const Case cases[] = {
        {RICElementKind::Rectangle, "RICParameterEdit_Rectangle_CopyOpt", 0x101, 2,
         &TCopyOptionChoices::FillChoice, 0x139},  // invert + fill, 0x100 kept
        {RICElementKind::Pixel, "RICParameterEdit_Pixel_CopyOpt", 0x18, 1,
         &TCopyOptionChoices::FillChoice, 0x24},  // white replaces invert
        {RICElementKind::NumBox, "RICParameterEdit_NumBox_CopyOpt", 0x20, 3,
         &TCopyOptionChoices::InvertChoice, 0x3C},  // XOR + invert, solid kept
    };
    for (const Case& c : cases) {
      w_->AddElement(c.kind);
      w_->findChild<TRICParameterEdit*>(c.edit)->setValue(c.start);
      QCOMPARE(ElementList[w_->SelectedIndex()]->CopyOpt, c.start);
      TCopyOptionChoices* choices = Choices(c.edit);
      QVERIFY(choices->isEnabled());
      const std::size_t steps = TheDocument().UndoCount();
      choices->ModeChoice->setCurrentIndex(c.mode);
      emit choices->ModeChoice->activated(c.mode);
      (choices->*c.box)->click();
      QCOMPARE(ElementList[w_->SelectedIndex()]->CopyOpt, c.expected);
      // Each choice is one step.
      QCOMPARE(TheDocument().UndoCount(), steps + 2);
      w_->UndoStep();
      w_->UndoStep();
      w_->FlushRefresh();
      QCOMPARE(ElementList[w_->SelectedIndex()]->CopyOpt, c.start);
    }
    // A parameter reference stays editable by its control; the choices have nothing to say.
    TRICParameterEdit* edit = w_->RICParameterEdit_NumBox_CopyOpt;
    QTest::mouseClick(edit->ParameterButton, Qt::LeftButton);
    QVERIFY(!Choices("RICParameterEdit_NumBox_CopyOpt")->isEnabled());
    edit->ParameterEdit->setValue(7);
    QCOMPARE(ElementList[w_->SelectedIndex()]->CopyOpt, EncodeParameter(7));
  }
};

QTEST_MAIN(DisplayModeTest)
#include "displaymode_test.moc"
