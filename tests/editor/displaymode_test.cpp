// The copy options' named choices, the display modes (drawn as a firmware
// draws the file, kept between runs) and the list of brick checks.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "CopyBitsPage.h"
#include "CopyOptionChoices.h"
#include "Document.h"
#include "NxtImage.h"
#include "ParameterFile.h"
#include "RICParameterEdit.h"
#include "ScriptedDialogs.h"
#include "Tavlin_main.h"

using namespace tavlin;

class DisplayModeTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  std::unique_ptr<ScriptedDialogs> dialogs_;
  std::unique_ptr<TForm_Tavlin> w_;
  template <class T>
  T* Find(const QString& name) {
    return FindChild<T>(w_.get(), name);
  }
  // The window's document, its elements and preview parameters.
  RICDocument& Doc() { return w_->Document(); }
  RICElementList& ElementList() { return w_->Document().ElementList(); }
  PreviewParameters& Params() { return w_->Document().Parameters(); }

  TCopyOptionChoices* Choices(const char* edit) {
    auto* c = w_->findChild<TCopyOptionChoices*>(QString(edit) + "_Choices");
    if (!c) qFatal("no choices beside %s", edit);
    return c;
  }
  // The small output's pixel at NXT point (x, y).
  bool OutputBlack(int x, int y) {
    return QColor(Find<TNxtImage>("Image_NXT")->Picture().pixel(1 + x, 1 + 63 - y)) ==
           QColor(Qt::black);
  }
  void Restart() {
    Doc().MarkSaved();
    w_.reset();
    w_ = StartEditor(*dialogs_);
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
    w_->SetDisplayMode(DisplayMode::TavlinPreview);
    Doc().MarkSaved();
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
      QCOMPARE(ElementList()[w_->SelectedIndex()]->CopyOpt, c.start);
      TCopyOptionChoices* choices = Choices(c.edit);
      QVERIFY(choices->isEnabled());
      const std::size_t steps = Doc().UndoCount();
      choices->ModeChoice->setCurrentIndex(c.mode);
      emit choices->ModeChoice->activated(c.mode);
      (choices->*c.box)->click();
      QCOMPARE(ElementList()[w_->SelectedIndex()]->CopyOpt, c.expected);
      // Each choice is one step.
      QCOMPARE(Doc().UndoCount(), steps + 2);
      w_->UndoStep();
      w_->UndoStep();
      w_->FlushRefresh();
      QCOMPARE(ElementList()[w_->SelectedIndex()]->CopyOpt, c.start);
    }
    // A parameter reference stays editable by its control; the choices have nothing to say.
    TRICParameterEdit* edit = w_->findChild<TRICParameterEdit*>("RICParameterEdit_NumBox_CopyOpt");
    QTest::mouseClick(edit->ParameterButton, Qt::LeftButton);
    QVERIFY(!Choices("RICParameterEdit_NumBox_CopyOpt")->isEnabled());
    edit->ParameterEdit->setValue(7);
    QCOMPARE(ElementList()[w_->SelectedIndex()]->CopyOpt, EncodeParameter(7));
  }

  void legoStopsAtCircleAndTheModeIsKept() {
    w_->AddElement(RICElementKind::Line);
    w_->AddElement(RICElementKind::Circle);  // the LEGO firmware knows no circle
    w_->AddElement(RICElementKind::Pixel);
    TRICElement& line = *ElementList()[0];
    line.X1 = 0, line.Y1 = 5, line.X2 = 99, line.Y2 = 5;
    TRICElement& pixel = *ElementList()[2];
    pixel.PosX = 80, pixel.PosY = 50;
    w_->SelectElement(2);
    w_->RefreshDocumentView();
    QVERIFY(OutputBlack(50, 5) && OutputBlack(80, 50));
    QVERIFY(w_->BrickFindings().empty());
    QVERIFY(!Find<QToolButton>("Button_BrickChecks")->isVisibleTo(w_.get()));

    for (auto [mode, pixelShown] : {std::pair{DisplayMode::BrickEnhanced132, true},
                                    std::pair{DisplayMode::BrickLego, false}}) {
      w_->findChild<QAction*>(QString("Menu_View_DisplayMode_") +
                              BrickVariantName(*BrickVariantOf(mode)))
          ->trigger();
      w_->FlushRefresh();
      QCOMPARE(w_->CurrentDisplayMode(), mode);
      QVERIFY(OutputBlack(50, 5));
      QCOMPARE(OutputBlack(80, 50), pixelShown);
      // The pixel's page shows it with what its file would hold before it: nothing more.
      QCOMPARE(QColor(w_->findChild<TNxtImage*>("Image_Pixel")
                          ->Picture()
                          .pixel(1 + 6 * 80 + 3, 1 + 6 * 13 + 3)),
               QColor(Qt::black));
    }
    QVERIFY(Find<QToolButton>("Button_BrickChecks")->isVisibleTo(w_.get()));
    Restart();
    QCOMPARE(w_->CurrentDisplayMode(), DisplayMode::BrickLego);
    QCOMPARE(Find<QComboBox>("ComboBox_PreView_DisplayMode")->currentText(),
             QString("NXT LEGO firmware"));
  }

  // A polygon whose count runs over the line after it: only drawn from an
  // array does the brick write over the line, and the checks say so.
  void drawnFromAnArrayChecksMoreAndIsKept() {
    w_->SetDisplayMode(DisplayMode::BrickEnhanced132);
    w_->AddElement(RICElementKind::Polygon);
    w_->AddElement(RICElementKind::Line);
    ElementList()[0]->PolygonCount = std::uint16_t(ElementList()[0]->PolygonPoints.size() + 1);
    w_->RefreshDocumentView();
    w_->FlushRefresh();
    const std::size_t fromFile = w_->BrickFindings().size();
    QComboBox* source = Find<QComboBox>("ComboBox_PreView_BrickSource");
    source->setCurrentIndex(1);
    emit source->activated(1);
    w_->FlushRefresh();
    QCOMPARE(w_->BrickFindings().size(), fromFile + 1);
    QVERIFY(w_->BrickFindings().back().Text.find("drawn from an array") != std::string::npos);
    Restart();
    QCOMPARE(Find<QComboBox>("ComboBox_PreView_BrickSource")->currentText(),
             QString("Drawn from: array"));
  }

  void aChecksLineSelectsItsElement() {
    w_->SetDisplayMode(DisplayMode::BrickLego);
    w_->AddElement(RICElementKind::Line);
    w_->AddElement(RICElementKind::Circle);
    w_->AddElement(RICElementKind::Line);
    w_->SelectElement(0);
    w_->FlushRefresh();
    QCOMPARE(Find<QToolButton>("Button_BrickChecks")->text(), QString("Brick: 1 problem"));
    Find<QToolButton>("Button_BrickChecks")->click();
    QListWidget* list = Find<QListWidget>("List_BrickChecks");
    QVERIFY(list->isVisible());
    QCOMPARE(list->count(), 1);
    QVERIFY2(list->item(0)->text().startsWith("element 2: "), qPrintable(list->item(0)->text()));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0)).center());
    QCOMPARE(w_->SelectedIndex(), 1);
    QCOMPARE(Find<QStackedWidget>("PageControl_Edit")->currentWidget(),
             w_->findChild<QWidget*>("TabSheet_Edit_Circle"));
    // Away to the editor's own preview and back: the same document has the same findings.
    w_->SetDisplayMode(DisplayMode::TavlinPreview);
    w_->FlushRefresh();
    w_->SetDisplayMode(DisplayMode::BrickLego);
    w_->FlushRefresh();
    QCOMPARE(Find<QToolButton>("Button_BrickChecks")->text(), QString("Brick: 1 problem"));
    Find<QToolButton>("Button_BrickChecks")->click();
    QCOMPARE(list->count(), 1);
  }

  // The checks window is the main window's dialog: it names the mode when
  // it has nothing to list, and Esc closes it.
  // A mode that ignores the chosen options says so under them and switches
  // to one that draws them in one click; the status bar shows the mode and
  // switches it.
  void ignoredOptionsAreNamedWithASwitch() {
    w_->AddElement(RICElementKind::Rectangle);
    TCopyOptionChoices* choices = Choices("RICParameterEdit_Rectangle_CopyOpt");
    QVERIFY(!choices->IgnoredHint->isVisibleTo(choices));
    choices->FillChoice->click();
    QVERIFY(choices->IgnoredHint->isVisibleTo(choices));
    QVERIFY2(choices->IgnoredHint->text().contains("Tavlin preview"),
             qPrintable(choices->IgnoredHint->text()));
    QComboBox* status = Find<QComboBox>("ComboBox_Status_DisplayMode");
    QVERIFY(status->isVisibleTo(w_.get()));
    QCOMPARE(status->currentText(), QString("Tavlin preview"));
    choices->ShowDrawnButton->click();
    QCOMPARE(w_->CurrentDisplayMode(), DisplayMode::BrickEnhanced132);
    QVERIFY(!choices->IgnoredHint->isVisibleTo(choices));
    QCOMPARE(status->currentText(), QString("NXT enhanced 1.32"));
    status->setCurrentIndex(1);
    emit status->activated(1);
    QCOMPARE(w_->CurrentDisplayMode(), DisplayMode::BrickLego);
    QVERIFY(choices->IgnoredHint->text().contains("NXT LEGO firmware"));
  }

  // A page the LEGO firmware leaves blank says why on its canvas.
  void legoSaysWhyAPageIsBlank() {
    w_->SetDisplayMode(DisplayMode::BrickLego);
    for (RICElementKind kind : {RICElementKind::Line, RICElementKind::Circle, RICElementKind::Line})
      w_->AddElement(kind);
    const QString circle = "Not drawn on the brick: the LEGO firmware has no Circle";
    const QString after =
        "Not drawn on the brick: it stops at step 2 (the LEGO firmware has no "
        "Circle) and draws nothing after it";
    for (auto [index, notice] : {std::pair{0, QString()}, {1, circle}, {2, after}}) {
      w_->SelectElement(index);
      w_->FlushRefresh();
      QVERIFY2(w_->BrickPageNotice().startsWith(notice), qPrintable(w_->BrickPageNotice()));
      QVERIFY(w_->BrickPageNotice().isEmpty() == notice.isEmpty());
      // The notice's box sits in the canvas's middle.
      TNxtImage* canvas = w_->findChild<TNxtImage*>(index == 1 ? "Image_Circle" : "Image_Line");
      const QImage picture = canvas->Picture();
      const QColor middle = picture.pixelColor(picture.width() / 8 + 2, picture.height() / 2);
      QCOMPARE(middle == QColor(255, 255, 225), !notice.isEmpty());
    }
    w_->SetDisplayMode(DisplayMode::BrickEnhanced132);
    QVERIFY(w_->BrickPageNotice().isEmpty());
  }

  void theChecksWindowSaysWhenAllIsWell() {
    w_->SetDisplayMode(DisplayMode::BrickEnhanced132);
    w_->AddElement(RICElementKind::Line);
    w_->FlushRefresh();
    Find<QToolButton>("Button_BrickChecks")->click();
    QWidget* window = Find<QWidget>("Window_BrickChecks");
    QVERIFY(window->isVisible());
    QCOMPARE(window->parentWidget(), w_.get());
    QVERIFY(Find<QLabel>("Label_BrickChecksNone")->isVisible());
    QVERIFY(!Find<QListWidget>("List_BrickChecks")->isVisible());
    QCOMPARE(Find<QLabel>("Label_BrickChecksNone")->text(),
             QString("No problems for ") + DisplayModeCaption(DisplayMode::BrickEnhanced132));
    QTest::keyClick(window, Qt::Key_Escape);
    QVERIFY(!window->isVisible());
  }

  void theBrickGetsAsManyParametersAsThePanelOffers() {
    w_->SetDisplayMode(DisplayMode::BrickEnhanced132);
    w_->AddElement(RICElementKind::Pixel);
    ElementList()[0]->PosX = EncodeParameter(20);
    ElementList()[0]->PosY = 0;
    Params().ParameterSet[20] = 30;
    w_->SetParameterMode(256);
    w_->RefreshDocumentView();
    QVERIFY(OutputBlack(30, 0));
    // Sixteen passed: the firmware takes the raw word, far left of the screen.
    Find<QAction>("Menu_File_Settings_Paramter_16Standard")->trigger();
    w_->FlushRefresh();
    QVERIFY(!OutputBlack(30, 0));
    QCOMPARE(w_->BrickFindings().size(), 1);
  }

  void copyBitsDestinationShowsTheBricksScreen() {
    TRICElement& sprite = *ElementList()[NewSprite(ElementList(), 1)];
    sprite.UsedArea = TRect{0, 500, 7, 500};
    sprite.Canvas.FillRect(0, 500, 7, 500, kWhite);
    sprite.Canvas.SetPixel(0, 500, kBlack);
    w_->SelectElement(NewCopyBits(ElementList(), copyopt::kInvertBitmap, 1, 0, 0, 2, 1, 50, 30));
    const QImage& view =
        Find<TCopyBitsPage>("TabSheet_Edit_CopyBits")->Image_CopyBits_Destination->Picture();
    auto black = [&view](int x, int y) {
      return QColor(view.pixel(4 * x + 3, 255 - 4 * y)) == QColor(Qt::black);
    };
    QVERIFY(black(50, 30) && !black(51, 30));  // the block as the sprite holds it
    w_->SetDisplayMode(DisplayMode::BrickEnhanced131);
    w_->FlushRefresh();
    QVERIFY(!black(50, 30) && black(51, 30));  // the firmware inverts it
  }

  void fontPictureDrawsThePreviewText() {
    // Sprite 1 holds the glyphs "#.#" and "#"; VarMaps 2 to 5 give every code x 0, y 0,
    // width 3 and height 1; the font's Description follows them.
    auto op = [](int kind, std::initializer_list<int> words) {
      std::string bytes;
      auto put = [&](int w) { bytes += char(w & 0xFF), bytes += char(w >> 8 & 0xFF); };
      put(2 + 2 * int(words.size()));
      put(kind);
      for (int w : words) put(w);
      return bytes;
    };
    const std::string font = op(1, {1, 1, 2, 0x00A0}) + op(2, {2, 2, 0, 0, 255, 0}) +
                             op(2, {3, 2, 0, 0, 255, 0}) + op(2, {4, 2, 0, 3, 255, 3}) +
                             op(2, {5, 2, 0, 1, 255, 1}) + op(0, {0x8001, 8, 8});
    const QString path = dir_.filePath("font.ric");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(font.data(), qint64(font.size()));
    file.close();
    QVERIFY(w_->OpenRicFile(path));
    w_->SetDisplayMode(DisplayMode::BrickEnhanced132);
    w_->EnterPreviewMode();
    auto row = [this] {
      QString pixels;
      for (int x = 0; x < 7; ++x)
        pixels +=
            QColor(Find<TNxtImage>("Image_Preview")->Picture().pixel(4 + 6 * x, 4 + 6 * 63)) ==
                    QColor(Qt::black)
                ? '#'
                : '.';
      return pixels;
    };
    w_->FlushRefresh();
    QCOMPARE(row(), QString("......."));  // the parameters are 0: no text
    Find<QLineEdit>("Edit_PreView_Text")->setText("AB");
    w_->FlushRefresh();
    QCOMPARE(row(), QString("#.##.#."));
  }
};

QTEST_MAIN(DisplayModeTest)
#include "displaymode_test.moc"
