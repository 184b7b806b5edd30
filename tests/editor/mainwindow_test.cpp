// The main window driven as a user would: buttons, menus, typing, pressing
// and dragging on the pages' pictures, with every question answered by script.
#include <sys/stat.h>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "AnimationExportDialog.h"
#include "CopyBitsPage.h"
#include "Document.h"
#include "DocumentUnit.h"
#include "DrawGrid.h"
#include "FileFaults.h"
#include "FileIO.h"
#include "NxtImage.h"
#include "ParameterFile.h"
#include "RICParameterEdit.h"
#include "RicFile.h"
#include "ScriptedDialogs.h"
#include "SpritePage.h"
#include "SpriteTools.h"
#include "SpriteView.h"
#include "Tavlin_main.h"
#include "VarMapPage.h"
#include "Version.h"

using namespace tavlin;

namespace {

// Mouse position over NXT point (x, y) on a page picture at zoom z (602 x 386 at 6).
QPoint OnScreen(int x, int y, int z = 6) {
  return QPoint(1 + z * x + z / 2, 1 + z * (63 - y) + z / 2);
}

std::vector<std::uint8_t> FileBytes(const QString& path) {
  return ReadFileBytes(path.toStdString(), 1 << 20);
}

// Where a label's text lies, left to right, in its parent's coordinates.
std::pair<int, int> TextSpan(const QLabel* label) {
  const QRect box = label->contentsRect().translated(label->pos());
  const int width = label->fontMetrics().horizontalAdvance(label->text());
  if (label->alignment() & Qt::AlignRight) return {box.right() + 1 - width, box.right() + 1};
  return {box.left(), box.left() + width};
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  std::unique_ptr<ScriptedDialogs> dialogs_;
  std::unique_ptr<TForm_Tavlin> w_;
  // The window's document, its elements and preview parameters.
  RICDocument& Doc() { return w_->Document(); }
  RICElementList& ElementList() { return w_->Document().ElementList(); }
  PreviewParameters& Params() { return w_->Document().Parameters(); }

  template <class T>
  T* Find(const QString& name) {
    return FindChild<T>(w_.get(), name);
  }
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QString Status(int panel) { return Find<QLabel>(QString("StatusPanel%1").arg(panel))->text(); }
  void Click(const char* button) { QTest::mouseClick(Find<QToolButton>(button), Qt::LeftButton); }
  void Trigger(const char* action) { Find<QAction>(action)->trigger(); }
  // The file names File > Open Recent offers, top down.
  QStringList RecentNames(TForm_Tavlin& window) {
    QStringList names;
    QMenu* menu = window.findChild<QMenu*>("Menu_File_Recent");
    if (!menu) qFatal("no File > Open Recent");
    emit menu->aboutToShow();  // as when the user opens it
    for (QAction* a : menu->actions())
      if (a->isVisible() && a->isEnabled()) names << a->text().section(' ', 1, 1);
    return names;
  }
  void ClickRow(int row) {
    TDrawGrid* grid = Find<TDrawGrid>("DrawGrid_RIC");
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(1, row).center());
  }
  void WriteFile(const QString& name, const std::string& bytes) {
    std::ofstream(Path(name).toStdString(), std::ios::binary) << bytes;
  }
  void Drop(const QString& name) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(Path(name))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w_.get(), &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w_.get(), &drop);
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QDir::setCurrent(dir_.path());
    qputenv("XDG_CONFIG_HOME", Path("config").toLocal8Bit());  // where closing keeps the parameters
  }

  void init() {
    dialogs_ = std::make_unique<ScriptedDialogs>();
    w_ = StartEditor(*dialogs_);
  }

  void cleanup() {
    if (w_) Doc().MarkSaved();  // no question when the window goes
    w_.reset();
    QVERIFY2(dialogs_->answers.empty() && dialogs_->saveAnswers.empty(), "unused answers");
    QVERIFY2(dialogs_->files.empty(), "unused file answers");
  }

  void startsEmptyInModifyModeWith256Parameters() {
    QCOMPARE(w_->windowTitle(), QString("Untitled - ") + tavlin::kProgramVersionText);
    QCOMPARE(Find<QStackedWidget>("PageControl_Edit")->currentWidget(),
             Find<QWidget>("TabSheet_Edit_Empty"));
    QCOMPARE(Find<QStackedWidget>("PageControl_Navigate")->currentWidget(),
             Find<QWidget>("TabSheet_Navigate_Modify"));
    QCOMPARE(Params().MaxParameterIndex, 255);
    QCOMPARE(Find<QGroupBox>("GroupBox_Param")->title(), QString("Parameters (0..255)"));
    QVERIFY(Find<QToolButton>("SpeedButton_Param16")->isVisible());
    QVERIFY(!Find<QToolButton>("SpeedButton_Param256")->isVisible());
    QCOMPARE(Find<QLabel>("Label_Elements")->text(), QString("0"));
    QCOMPARE(Status(4), QString("0"));
    for (const char* b : {"SpeedButton_RIC_Delete", "SpeedButton_RIC_Double",
                          "SpeedButton_RIC_MoveUp", "SpeedButton_RIC_MoveDown"})
      QVERIFY(!Find<QToolButton>(b)->isEnabled());
    QVERIFY(Find<QFrame>("Panel_Param03")->isVisible());
    QVERIFY(!Find<QFrame>("Panel_Param04")->isVisible());
    // Clicking the one empty row switches no page.
    ClickRow(1);
    QCOMPARE(Find<QStackedWidget>("PageControl_Edit")->currentWidget(),
             Find<QWidget>("TabSheet_Edit_Empty"));
  }

  void addCircleShowsItSelectedAndModified() {
    Click("SpeedButton_RIC_AddCircle");
    QCOMPARE(ElementList().Count(), 1);
    const TRICElement& c = *ElementList()[0];
    QCOMPARE(c.Kind, RICElementKind::Circle);
    QCOMPARE(int(c.PosX), 30);
    QCOMPARE(int(c.PosY), 30);
    QCOMPARE(int(c.Radius), 10);
    QCOMPARE(Find<QStackedWidget>("PageControl_Edit")->currentWidget(),
             w_->findChild<QWidget*>("TabSheet_Edit_Circle"));
    QCOMPARE(Find<QLabel>("Label_FileSize")->text(), QString("12"));
    QCOMPARE(Status(7), QString("modified"));
    QCOMPARE(int(w_->findChild<TRICParameterEdit*>("RICParameterEdit_Circle_Radius")->Value()), 10);
    QVERIFY(Find<QToolButton>("SpeedButton_RIC_Delete")->isEnabled());
    QVERIFY(!Find<QToolButton>("SpeedButton_RIC_MoveUp")->isEnabled());
    // The circle is drawn on the page and on the small display.
    QCOMPARE(QColor(w_->findChild<TNxtImage*>("Image_Circle")->Picture().pixel(OnScreen(40, 30))),
             QColor(Qt::black));
    QCOMPARE(QColor(w_->findChild<TNxtImage*>("Image_Circle")->Picture().pixel(OnScreen(30, 30))),
             QColor(Qt::white));
    QCOMPARE(QColor(Find<TNxtImage>("Image_NXT")->Picture().pixel(1 + 40, 1 + 63 - 30)),
             QColor(Qt::black));
  }

  void everyAddCommandUsesItsDefaults() {
    for (QAction* a : Find<QMenu>("Menu_Edit_ElementList_Add")->actions()) a->trigger();
    QCOMPARE(ElementList().Count(), 11);
    QCOMPARE(Status(4), QString("11"));
    // One of each: the file size is the sum of the kinds' sizes.
    QCOMPARE(Find<QLabel>("Label_FileSize")->text(),
             QString::number(10 + 12 + 16 + 20 + 12 + 14 + 14 + 12 + 12 + 14 + 20));
    const TRICElement* copyBits = nullptr;
    for (const auto& e : ElementList())
      if (e->Kind == RICElementKind::CopyBits) copyBits = e.get();
    QVERIFY(copyBits);
    QCOMPARE(int(copyBits->SpriteID), 1);
    QCOMPARE(int(copyBits->Width), 1);
  }

  // New Sprites and VarMaps take free ids and hide nothing; a new CopyBits
  // copies from the last sprite before it; with all ids taken the user is told.
  void newElementsTakeFreeIds() {
    ElementList().Add(MakeSprite(2));
    for (const char* add : {"SpeedButton_RIC_AddSprite", "SpeedButton_RIC_AddVarMap",
                            "SpeedButton_RIC_AddSprite", "SpeedButton_RIC_AddCopyBits"})
      Click(add);
    QCOMPARE(int(ElementList()[1]->ID), 1);
    QCOMPARE(int(ElementList()[2]->ID), 3);
    QCOMPARE(int(ElementList()[3]->ID), 4);
    QCOMPARE(int(ElementList()[4]->SpriteID), 4);
    for (int i = 0; i < 6; ++i) Click("SpeedButton_RIC_AddVarMap");
    QCOMPARE(int(ElementList()[10]->ID), 10);
    QVERIFY(dialogs_->warnings.isEmpty());
    Click("SpeedButton_RIC_AddSprite");
    QCOMPARE(dialogs_->warnings.size(), 1);
    QVERIFY(dialogs_->warnings[0].startsWith("All ids from 1 to 10 are taken"));
  }

  void listRowsShowValuesAndSelectionFollowsClicks() {
    Click("SpeedButton_RIC_AddComment");
    Click("SpeedButton_RIC_AddLine");
    Click("SpeedButton_RIC_AddSprite");
    ClickRow(1);
    QCOMPARE(w_->SelectedIndex(), 0);
    QCOMPARE(Find<QStackedWidget>("PageControl_Edit")->currentWidget(),
             Find<QWidget>("TabSheet_Edit_Information"));
    QVERIFY(!Find<QAction>("Menu_View_ZoomIn")->isVisible());
    ClickRow(3);
    QCOMPARE(Find<QStackedWidget>("PageControl_Edit")->currentWidget(),
             Find<TSpritePage>("TabSheet_Edit_Sprite"));
    QVERIFY(Find<QAction>("Menu_View_ZoomIn")->isVisible());
    QVERIFY(Find<QMenu>("Menu_Edit_Sprite")->menuAction()->isVisible());
    ClickRow(3);
    Click("SpeedButton_RIC_Delete");  // the sprite goes; the line is selected
    Click("SpeedButton_RIC_AddVarMap");
    QVERIFY(Find<QMenu>("Menu_Edit_VarMap")->menuAction()->isVisible());
    QVERIFY(!Find<QAction>("Menu_View_ZoomIn")->isVisible());
    // With nothing selected the kind menus are hidden.
    w_->ShowElement(-1);
    QVERIFY(!Find<QMenu>("Menu_Edit_VarMap")->menuAction()->isVisible());
    Click("SpeedButton_RIC_AddSprite");
    ClickRow(2);
    QCOMPARE(Find<QStackedWidget>("PageControl_Edit")->currentWidget(),
             w_->findChild<QWidget*>("TabSheet_Edit_Line"));
    QVERIFY(!Find<QAction>("Menu_View_ZoomIn")->isVisible());
    // The selected row's object cell is painted in the selection colour, the others not.
    QImage grid = Find<TDrawGrid>("DrawGrid_RIC")->viewport()->grab().toImage();
    QRect selected = Find<TDrawGrid>("DrawGrid_RIC")->CellRect(1, 2),
          other = Find<TDrawGrid>("DrawGrid_RIC")->CellRect(1, 1);
    QCOMPARE(QColor(grid.pixel(selected.left() + 55, selected.bottom() - 3)),
             QColor(240, 240, 240));
    QCOMPARE(QColor(grid.pixel(other.left() + 55, other.bottom() - 3)),
             w_->palette().color(QPalette::Button));
    // Arrow keys move the selection and its page.
    QTest::keyClick(Find<TDrawGrid>("DrawGrid_RIC"), Qt::Key_Down);
    QCOMPARE(w_->SelectedIndex(), 2);
    QCOMPARE(Find<QStackedWidget>("PageControl_Edit")->currentWidget(),
             Find<TVarMapPage>("TabSheet_Edit_VarMap"));
  }

  void listRowsFitTheVisibleCell() {
    // Enough rows for the scroll bar to cover the end of the cells.
    for (int i = 0; i < 10; ++i) Click("SpeedButton_RIC_AddPixel");
    TDrawGrid* grid = Find<TDrawGrid>("DrawGrid_RIC");
    QTRY_VERIFY(grid->verticalScrollBar()->isVisible());
    const QRect cell = grid->CellRect(1, 1);
    const int right = std::min(cell.right(), grid->viewport()->width() - 1);
    const ElementPtr constants = MakeCopyBits(0, 3, 0, 0, 16, 3, 10, 10);
    const ElementPtr mapped =
        MakeCopyBits(0, 0xF0C8, 0xFAFF, 0xFAFF, 0xFAFF, 0xFAFF, 0xFAFF, 0xFAFF);
    for (const TRICElement* e : {constants.get(), mapped.get()}) {
      const std::vector<ElementItem> items = ElementItems(*e);
      const RowItemsLayout row = LayOutRowItems(grid->font(), items, cell.left() + 61, right);
      const QFontMetrics fm(row.Font);
      for (std::size_t i = 0; i < items.size(); ++i) {
        const int end = row.Lefts[i] + std::max(fm.horizontalAdvance(row.Labels[qsizetype(i)]),
                                                fm.horizontalAdvance(row.Values[qsizetype(i)]));
        QVERIFY2(end <= right, qPrintable(row.Labels[qsizetype(i)]));
        // Every text shows whole, on two lines where one cannot hold them.
        QCOMPARE(row.Labels[qsizetype(i)].toStdString(), items[i].Label);
        QCOMPARE(row.Values[qsizetype(i)].toStdString(), items[i].Value);
      }
    }
  }

  void fillingAPageNeverMarksModified() {
    WriteFile("a.ric", std::string("\x0C\x00\x05\x00\x00\x00\x05\xF0\x00\x00\x0A\x00\x0A\x00", 14));
    QVERIFY(w_->OpenRicFile(Path("a.ric")));
    QCOMPARE(Find<QStackedWidget>("PageControl_Edit")->currentWidget(),
             w_->findChild<QWidget*>("TabSheet_Edit_Line"));
    QVERIFY(!w_->Modified());
    QCOMPARE(Status(7), QString());
    QCOMPARE(Status(6), Path("a.ric"));
    // The parameter reference shows in its mode and stays as it is.
    QCOMPARE(w_->findChild<TRICParameterEdit*>("RICParameterEdit_Line_X1")->argumentMode(),
             ArgumentMode::Parameter);
    QCOMPARE(int(ElementList()[0]->X1), 0xF005);
  }

  void linePageDragSetsTheEndPointsAsConstants() {
    WriteFile("line.ric",
              std::string("\x0C\x00\x05\x00\x00\x00\x05\xF0\x00\x00\x0A\x00\x0A\x00", 14));
    QVERIFY(w_->OpenRicFile(Path("line.ric")));
    TNxtImage* image = w_->findChild<TNxtImage*>("Image_Line");
    QTest::mousePress(image, Qt::LeftButton, {}, OnScreen(5, 50));
    QTest::mouseMove(image, OnScreen(60, 20));
    QTest::mouseRelease(image, Qt::LeftButton, {}, OnScreen(60, 20));
    const TRICElement& line = *ElementList()[0];
    QCOMPARE(int(line.X1), 5);  // the parameter reference became a constant
    QCOMPARE(int(line.Y1), 50);
    QCOMPARE(int(line.X2), 60);
    QCOMPARE(int(line.Y2), 20);
    QVERIFY(w_->Modified());
    w_->FlushRefresh();  // the pictures follow once the pass is done
    QCOMPARE(QColor(image->Picture().pixel(OnScreen(5, 50))), QColor(Qt::black));
    QCOMPARE(QColor(image->Picture().pixel(OnScreen(60, 20))), QColor(Qt::black));
    QCOMPARE(Status(1), QString("60"));
    QCOMPARE(Status(2), QString("20"));
  }

  void rectangleAndCircleDrags() {
    Click("SpeedButton_RIC_AddRectangle");
    const std::size_t steps = Doc().UndoCount();
    QTest::mousePress(w_->findChild<TNxtImage*>("Image_Rectangle"), Qt::LeftButton, {},
                      OnScreen(40, 10));
    QCoreApplication::processEvents();
    // A move sets four fields; the document is drawn once, when the pass is done.
    const int renders = w_->DocumentRenders();
    QTest::mouseMove(w_->findChild<TNxtImage*>("Image_Rectangle"), OnScreen(30, 20));
    QTest::mouseMove(w_->findChild<TNxtImage*>("Image_Rectangle"), OnScreen(20, 30));
    QCOMPARE(w_->DocumentRenders(), renders);
    QCoreApplication::processEvents();
    QCOMPARE(w_->DocumentRenders(), renders + 1);
    QTest::mouseRelease(w_->findChild<TNxtImage*>("Image_Rectangle"), Qt::LeftButton, {},
                        OnScreen(20, 30));
    QCOMPARE(Doc().UndoCount(), steps + 1);  // the drag is one step
    const TRICElement& r = *ElementList()[0];
    QCOMPARE(int(r.PosX), 20);
    QCOMPARE(int(r.PosY), 10);
    QCOMPARE(int(r.Width), 20);
    QCOMPARE(int(r.Height), 20);

    Click("SpeedButton_RIC_AddCircle");
    QTest::mousePress(w_->findChild<TNxtImage*>("Image_Circle"), Qt::LeftButton, {},
                      OnScreen(50, 32));
    QTest::mouseMove(w_->findChild<TNxtImage*>("Image_Circle"), OnScreen(53, 40));
    QTest::mouseRelease(w_->findChild<TNxtImage*>("Image_Circle"), Qt::LeftButton, {},
                        OnScreen(53, 40));
    QCOMPARE(int(ElementList()[1]->Radius), 8);
    // The list row shows the new values.
    QCOMPARE(QString::fromStdString(ElementItems(*ElementList()[1])[1].Value), QString("8"));
  }

  void picturesFollowTheWindowSizeByWholeZoomsAndTheMouseStaysExact() {
    w_->show();
    QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
    QVERIFY(w_->windowFlags() & Qt::WindowMaximizeButtonHint);
    NewSprite(ElementList(), 1);
    ElementList()[0]->UsedArea = TRect{0, 0, 99, 63};
    Click("SpeedButton_RIC_AddCopyBits");
    Click("SpeedButton_RIC_AddRectangle");
    TCopyBitsPage* copyBits = Find<TCopyBitsPage>("TabSheet_Edit_CopyBits");
    TSpritePage* sprite = Find<TSpritePage>("TabSheet_Edit_Sprite");
    // The smallest window, within 1330 x 665 with menu and status bar, then a large screen.
    for (QSize size : {QSize(300, 300), QSize(1920, 1080)}) {
      w_->resize(size);
      const bool small = size.width() < 1016;
      QVERIFY(!small || (w_->width() <= 1330 && w_->height() <= 665));
      // The buttons under the list stay inside its page.
      for (const char* name :
           {"SpeedButton_RIC_AddLine", "SpeedButton_Preview", "SpeedButton_RIC_Undo"}) {
        auto* b = w_->findChild<QToolButton*>(name);
        QVERIFY2(b->geometry().bottom() < Find<QStackedWidget>("PageControl_Navigate")->height(),
                 name);
      }
      ClickRow(3);
      TNxtImage* image = w_->findChild<TNxtImage*>("Image_Rectangle");
      const int z = (image->width() - 2) / 100;
      QCOMPARE(image->size(), QSize(100 * z + 2, 64 * z + 2));
      QVERIFY(small ? z < 6 : z > 6);
      QCOMPARE(Find<TNxtImage>("Image_Preview")->size(), image->size());
      QTest::mousePress(image, Qt::LeftButton, {}, OnScreen(40, 10, z));
      QTest::mouseMove(image, OnScreen(20, 30, z));
      QTest::mouseRelease(image, Qt::LeftButton, {}, OnScreen(20, 30, z));
      const TRICElement& r = *ElementList()[2];
      QCOMPARE(QList<int>({r.PosX, r.PosY, r.Width, r.Height}), QList<int>({20, 10, 20, 20}));

      ClickRow(2);
      TNxtImage* destination = copyBits->Image_CopyBits_Destination;
      const int c = (destination->width() - 3) / 100;
      QCOMPARE(destination->size(), QSize(100 * c + 3, 64 * c + 3));
      QCOMPARE(copyBits->Image_CopyBits_Source->size(), destination->size());
      QVERIFY(small ? c < 4 : c > 4);
      QTest::mousePress(destination, Qt::LeftButton, {}, OnScreen(37, 21, c));
      QCOMPARE(QList<int>({ElementList()[1]->RelX, ElementList()[1]->RelY}), QList<int>({37, 21}));

      // The sprite view shows whole blocks of 24 pixels; a click on its
      // lowest visible row lands there.
      ClickRow(1);
      const QSize area = sprite->Image_Sprite->size() - QSize(2, 2);
      QCOMPARE(QSize(area.width() % 24, area.height() % 24), QSize(0, 0));
      QVERIFY(small ? area.height() < 384 : area.width() > 600);
      const int cols = area.width() / 6, rows = area.height() / 6;
      QCOMPARE(sprite->Label_Sprite_VisibleAreaValue->text(),
               QString("%1 x %2 pixels").arg(cols).arg(rows));
      const QPoint corner(sprite->ScrollBar_Sprite_X->value() + cols - 1,
                          sprite->ScrollBar_Sprite_Y->value() + rows - 1);
      QTest::mouseClick(sprite->Image_Sprite, Qt::LeftButton, {},
                        QPoint(1 + 6 * (cols - 1) + 3, 1 + 6 * (rows - 1) + 3));
      QCOMPARE(ElementList()[0]->Canvas.Pixel(corner.x(), corner.y()), kBlack);

      // The preview's parameter rows that fit reach the last parameter.
      Click("SpeedButton_Preview");
      Find<QScrollBar>("ScrollBar_Param")->setValue(255);
      int shown = 0;
      while (shown < 21 &&
             Find<QFrame>(QString("Panel_Param%1").arg(shown, 2, 10, QChar('0')))->isVisible())
        ++shown;
      QCOMPARE(Find<QLabel>(QString("Label_Param%1").arg(shown - 1, 2, 10, QChar('0')))->text(),
               QString(" 255"));
      QVERIFY(Find<QGroupBox>("GroupBox_Param")->geometry().bottom() <
              w_->centralWidget()->height());
      Click("SpeedButton2");
    }
    // Back at the default size, everything is where it was.
    w_->resize(w_->sizeHint());
    QCOMPARE(w_->findChild<TNxtImage*>("Image_Rectangle")->geometry(), QRect(32, 52, 602, 386));
    QCOMPARE(copyBits->Image_CopyBits_Destination->geometry(), QRect(230, 412, 403, 259));
    QCOMPARE(sprite->Image_Sprite->size(), QSize(602, 386));
  }

  void valuesTheUserDidNotEditAreSavedAsRead() {
    // A Description of 200 x 300 and a Rectangle at constant x 150, beyond their fields' ranges.
    const std::string bytes(
        "\x08\x00\x00\x00\x00\x00\xC8\x00\x2C\x01"
        "\x0C\x00\x06\x00\x00\x00\x96\x00\x05\x00\x0A\x00\x0A\x00",
        24);
    WriteFile("wide.ric", bytes);
    QVERIFY(w_->OpenRicFile(Path("wide.ric")));
    QCOMPARE(Find<THoldingSpinEdit>("SpinEdit_Information_Width")->text(), QString("200"));
    Find<THoldingSpinEdit>("SpinEdit_Information_Options")->stepBy(1);
    ClickRow(2);
    QCOMPARE(
        w_->findChild<TRICParameterEdit*>("RICParameterEdit_Rectangle_PosX")->ConstantEdit->text(),
        QString("150"));
    w_->findChild<TRICParameterEdit*>("RICParameterEdit_Rectangle_Height")->ConstantEdit->stepBy(1);
    QVERIFY(w_->SaveDocument());
    std::string expected = bytes;
    expected[4] = 1;    // Options
    expected[22] = 11;  // Height
    QVERIFY(FileBytes(Path("wide.ric")) ==
            std::vector<std::uint8_t>(expected.begin(), expected.end()));
    // The field the user edits is held to its range.
    ClickRow(1);
    Find<THoldingSpinEdit>("SpinEdit_Information_Height")->stepBy(-1);
    QCOMPARE(int(ElementList()[0]->Height), 64);
    QCOMPARE(int(ElementList()[0]->Width), 200);
  }

  void pixelPageClampsAndShowsPositionWithoutButton() {
    Click("SpeedButton_RIC_AddPixel");
    // (1, 1): QTest takes a null point for the widget's centre.
    QTest::mouseClick(w_->findChild<TNxtImage*>("Image_Pixel"), Qt::LeftButton, {}, QPoint(1, 1));
    QCOMPARE(int(ElementList()[0]->PosX), 0);
    QCOMPARE(int(ElementList()[0]->PosY), 63);
    QTest::mouseClick(w_->findChild<TNxtImage*>("Image_Pixel"), Qt::LeftButton, {},
                      QPoint(601, 385));
    QCOMPARE(int(ElementList()[0]->PosX), 99);
    QCOMPARE(int(ElementList()[0]->PosY), 0);
    QTest::mouseMove(w_->findChild<TNxtImage*>("Image_Pixel"), OnScreen(12, 34));
    QCOMPARE(Status(1), QString("12"));
    QCOMPARE(Status(2), QString("34"));
    QCOMPARE(int(ElementList()[0]->PosX), 99);  // a move without a button places nothing
  }

  void typingIntoTheInformationPageWritesAllFields() {
    Click("SpeedButton_RIC_AddComment");
    Doc().MarkSaved();
    QSpinBox* options = Find<THoldingSpinEdit>("SpinEdit_Information_Options");
    options->selectAll();
    QTest::keyClicks(options, "77");
    QCOMPARE(int(ElementList()[0]->Options), 77);
    QVERIFY(w_->Modified());
    Find<THoldingSpinEdit>("SpinEdit_Information_Width")->setValue(100);
    QCOMPARE(int(ElementList()[0]->Width), 100);
    QCOMPARE(QString::fromStdString(ElementItems(*ElementList()[0])[1].Value), QString("100/0"));
  }

  void argumentModeSwitchAndParameterChangeRedrawThePage() {
    Click("SpeedButton_RIC_AddLine");  // (0,0)-(10,10)
    TRICParameterEdit* x2 = w_->findChild<TRICParameterEdit*>("RICParameterEdit_Line_X2");
    QTest::mouseClick(x2->findChild<QToolButton*>("ParameterButton"), Qt::LeftButton);
    QCOMPARE(int(ElementList()[0]->X2), 0xF000);  // parameter 0
    QCOMPARE(QString::fromStdString(ElementItems(*ElementList()[0])[1].Value), QString("P[0]/10"));
    Find<QSpinBox>("SpinEdit_Param00")->setValue(50);
    QCOMPARE(int(Params().ParameterSet[0]), 50);
    w_->FlushRefresh();
    QCOMPARE(QColor(w_->findChild<TNxtImage*>("Image_Line")->Picture().pixel(OnScreen(50, 10))),
             QColor(Qt::black));
    QCOMPARE(QColor(Find<TNxtImage>("Image_NXT")->Picture().pixel(1 + 50, 1 + 63 - 10)),
             QColor(Qt::black));
  }

  void parameterPanelModesAndScrolling() {
    Find<QScrollBar>("ScrollBar_Param")->setValue(252);
    QCOMPARE(Find<QLabel>("Label_Param00")->text(), QString(" 252"));
    QCOMPARE(Find<QLabel>("Label_Param03")->text(), QString(" 255"));
    Click("SpeedButton_Param16");
    QCOMPARE(Find<QScrollBar>("ScrollBar_Param")->value(), 12);
    QCOMPARE(Find<QLabel>("Label_Param00")->text(), QString(" 12"));
    QCOMPARE(Find<QGroupBox>("GroupBox_Param")->title(), QString("Parameters (0..15)"));
    QVERIFY(Find<QAction>("Menu_File_Settings_Paramter_16Standard")->isChecked());
    // Preview with 16 parameters: rows 0..15, no scroll bar.
    Click("SpeedButton_Preview");
    QCOMPARE(Find<QScrollBar>("ScrollBar_Param")->value(), 0);
    QVERIFY(!Find<QScrollBar>("ScrollBar_Param")->isVisible());
    QVERIFY(Find<QFrame>("Panel_Param15")->isVisible());
    QVERIFY(!Find<QFrame>("Panel_Param16")->isVisible());
    QCOMPARE(Find<QGroupBox>("GroupBox_Param")->height(), 654);
    // 256 parameters in preview: the bar at 240 comes back to 235.
    Click("SpeedButton_Param256");
    Find<QScrollBar>("ScrollBar_Param")->setValue(240);
    QCOMPARE(Find<QScrollBar>("ScrollBar_Param")->value(), 235);
    QCOMPARE(Find<QLabel>("Label_Param20")->text(), QString(" 255"));
    QVERIFY(Find<QFrame>("Panel_Param20")->isVisible());
    // Editing a row sets the parameter it shows.
    Find<QSpinBox>("SpinEdit_Param20")->setValue(9);
    QCOMPARE(int(Params().ParameterSet[255]), 9);
    Click("SpeedButton2");
    QCOMPARE(Find<QGroupBox>("GroupBox_Param")->height(), 164);
    QVERIFY(!Find<QFrame>("Panel_Param04")->isVisible());
  }

  void previewAnimationPlaysStepsAndStops() {
    Click("SpeedButton_RIC_AddLine");  // (0,0)-(10,10), its end's x then parameter 0
    QTest::mouseClick(w_->findChild<TRICParameterEdit*>("RICParameterEdit_Line_X2")
                          ->findChild<QToolButton*>("ParameterButton"),
                      Qt::LeftButton);
    Click("SpeedButton_Preview");
    Find<QSpinBox>("SpinEdit_PreView_SweepFrom1")->setValue(20);
    Find<QSpinBox>("SpinEdit_PreView_SweepTo1")->setValue(60);
    Find<QSpinBox>("SpinEdit_PreView_SweepStep1")->setValue(20);  // 20, 40, 60
    Find<QSpinBox>("SpinEdit_PreView_Fps")->setValue(50);
    auto frameLabel = [this] { return Find<QLabel>("Label_PreView_Frame")->text(); };
    auto lineEndsAt = [this](int x) {
      return QColor(Find<TNxtImage>("Image_Preview")->Picture().pixel(OnScreen(x, 10))) ==
                 QColor(Qt::black) &&
             QColor(Find<TNxtImage>("Image_NXT")->Picture().pixel(1 + x, 1 + 63 - 10)) ==
                 QColor(Qt::black);
    };
    Click("SpeedButton_PreView_Play");
    QCOMPARE(int(Params().ParameterSet[0]), 20);  // the first frame at once
    QTRY_COMPARE(int(Params().ParameterSet[0]), 40);
    QCOMPARE(Find<QSpinBox>("SpinEdit_Param00")->value(), 40);
    QCOMPARE(frameLabel(), QString("Frame 2 of 3"));
    QVERIFY(lineEndsAt(40));
    QTRY_COMPARE(int(Params().ParameterSet[0]), 20);  // it loops
    Click("SpeedButton_PreView_Pause");
    const int paused = Params().ParameterSet[0];
    QTest::qWait(100);
    QCOMPARE(int(Params().ParameterSet[0]), paused);

    // The step buttons go round the frames.
    const int next = paused == 60 ? 20 : paused + 20;
    Click("SpeedButton_PreView_NextFrame");
    QCOMPARE(Find<QSpinBox>("SpinEdit_Param00")->value(), next);
    QVERIFY(lineEndsAt(next));
    Click("SpeedButton_PreView_PrevFrame");
    QCOMPARE(int(Params().ParameterSet[0]), paused);

    // Leaving the preview, New and closing stop it.
    for (const char* leave : {"Menu_File_ModifyRICFile", "Menu_File_New", "close"}) {
      Trigger("Menue_File_PreviewRICfile");
      Click("SpeedButton_PreView_Play");
      QTest::qWait(30);
      Doc().MarkSaved();
      if (QString(leave) == "close")
        QVERIFY(w_->close());
      else
        Trigger(leave);
      const int stopped = Params().ParameterSet[0];
      QTest::qWait(100);
      QCOMPARE(int(Params().ParameterSet[0]), stopped);
    }
  }

  void exportsWriteTheSweepAsGifAndTheDisplayAsPng() {
    Click("SpeedButton_RIC_AddLine");
    QTest::mouseClick(w_->findChild<TRICParameterEdit*>("RICParameterEdit_Line_X2")
                          ->findChild<QToolButton*>("ParameterButton"),
                      Qt::LeftButton);
    Find<QSpinBox>("SpinEdit_PreView_SweepTo1")->setValue(99);
    Find<QSpinBox>("SpinEdit_PreView_SweepStep1")->setValue(33);  // 0, 33, 66, 99
    Find<QSpinBox>("SpinEdit_PreView_ExportZoom")->setValue(2);
    Find<QSpinBox>("SpinEdit_Param00")->setValue(50);
    // The settings come first, with the frame count; a parameter the picture
    // does not read is warned of. Cancelled, nothing is asked or written.
    QString summary, warning, warningAfter = "unset";
    dialogs_->modalScript = [&](QDialog* d) {
      auto* dialog = qobject_cast<TAnimationExportDialog*>(d);
      summary = dialog->Summary->text();
      dialog->Parameter[0]->setValue(1);
      warning = dialog->Warning->text();
      dialog->Parameter[0]->setValue(0);
      warningAfter = dialog->Warning->text();
      return int(QDialog::Rejected);
    };
    Trigger("Menu_File_Export_Gif");
    QVERIFY2(summary.startsWith("4 frames, about "), qPrintable(summary));
    QVERIFY2(warning.startsWith("The picture does not depend on parameter 1"), qPrintable(warning));
    QCOMPARE(warningAfter, QString());
    QVERIFY(!QFile::exists(Path("anim.gif")));
    dialogs_->modalScript = [](QDialog*) { return int(QDialog::Accepted); };
    dialogs_->files.push_back(Path("anim.gif"));
    Trigger("Menu_File_Export_Gif");
    QImageReader gif(Path("anim.gif"));
    QCOMPARE(gif.imageCount(), 4);
    QCOMPARE(gif.size(), QSize(200, 128));
    QCOMPARE(int(Params().ParameterSet[0]), 50);  // the sweep leaves the parameters as they were
    // A cancelled export leaves no file.
    dialogs_->cancelAtUpdate = dialogs_->progressUpdates + 2;
    dialogs_->files.push_back(Path("cancelled.gif"));
    Trigger("Menu_File_Export_Gif");
    QVERIFY(!QFile::exists(Path("cancelled.gif")));
    // The picture's zoom is asked.
    dialogs_->modalScript = [](QDialog* d) {
      qobject_cast<TZoomDialog*>(d)->Zoom->setValue(3);
      return int(QDialog::Accepted);
    };
    dialogs_->files.push_back(Path("big.png"));
    Trigger("Menu_File_Export_Png");
    QCOMPARE(QImage(Path("big.png")).size(), QSize(300, 192));
    dialogs_->modalScript = [](QDialog*) { return int(QDialog::Accepted); };
    dialogs_->files.push_back(Path("shot.png"));
    Trigger("Menu_File_Export_Png");
    const QImage png(Path("shot.png"));
    QCOMPARE(png.size(), QSize(300, 192));
    QCOMPARE(QColor(png.pixel(3 * 50, 3 * (63 - 10))), QColor(Qt::black));
    QCOMPARE(QColor(png.pixel(3 * 51, 3 * (63 - 10))), QColor(Qt::white));
    QVERIFY(dialogs_->errors.isEmpty());
  }

  void previewClickMovesThePicture() {
    Click("SpeedButton_RIC_AddPixel");  // a pixel at (0, 0)
    Click("SpeedButton_Preview");
    QCOMPARE(Find<QStackedWidget>("PageControl_Edit")->currentWidget(),
             Find<QWidget>("TabSheet_Edit_Preview"));
    QVERIFY(Find<QAction>("Menu_File_ModifyRICFile")->isVisible());
    QVERIFY(!Find<QAction>("Menue_File_PreviewRICfile")->isVisible());
    QCOMPARE(QColor(Find<TNxtImage>("Image_Preview")->Picture().pixel(OnScreen(0, 0))),
             QColor(Qt::black));
    QTest::mousePress(Find<TNxtImage>("Image_Preview"), Qt::LeftButton, {}, OnScreen(30, 20));
    QCOMPARE(Find<QSpinBox>("SpinEdit_PreView_PosX")->value(), 30);
    QCOMPARE(Find<QSpinBox>("SpinEdit_PreView_PosY")->value(), 20);
    w_->FlushRefresh();
    QCOMPARE(QColor(Find<TNxtImage>("Image_Preview")->Picture().pixel(OnScreen(30, 20))),
             QColor(Qt::black));
    QCOMPARE(QColor(Find<TNxtImage>("Image_Preview")->Picture().pixel(OnScreen(0, 0))),
             QColor(Qt::white));
    QTest::mouseRelease(Find<TNxtImage>("Image_Preview"), Qt::LeftButton, {}, OnScreen(30, 20));
    // The small display keeps the picture at (0, 0).
    QCOMPARE(QColor(Find<TNxtImage>("Image_NXT")->Picture().pixel(1, 1 + 63)), QColor(Qt::black));
    Trigger("Menu_File_ModifyRICFile");
    QCOMPARE(Find<QStackedWidget>("PageControl_Edit")->currentWidget(),
             w_->findChild<QWidget*>("TabSheet_Edit_Pixel"));
  }

 private:
  // Every kind of step, the element selected before it and how the user takes it.
  struct StepCase {
    const char* name;
    int select;
    std::function<void()> take;
  };
  std::vector<StepCase> StepCases() {
    auto grid = [this] { return Find<TDrawGrid>("DrawGrid_RIC")->viewport(); };
    auto row = [this](int r) { return Find<TDrawGrid>("DrawGrid_RIC")->CellRect(1, r).center(); };
    auto map = [this] { return Find<TVarMapPage>("TabSheet_Edit_VarMap"); };
    auto sprite = [this] { return Find<TSpritePage>("TabSheet_Edit_Sprite"); };
    return {
        {"Add Line", 4, [=, this] { Click("SpeedButton_RIC_AddLine"); }},
        {"Delete Line", 4, [=, this] { Click("SpeedButton_RIC_Delete"); }},
        {"Double Sprite", 1, [=, this] { Click("SpeedButton_RIC_Double"); }},
        {"Move Line", 4, [=, this] { Click("SpeedButton_RIC_MoveUp"); }},
        {"Move Description", 0,  // a drag over three rows is one step
         [=] {
           QTest::mousePress(grid(), Qt::LeftButton, {}, row(1));
           QTest::mouseMove(grid(), row(2));
           QTest::mouseMove(grid(), row(4));
           QTest::mouseRelease(grid(), Qt::LeftButton, {}, row(4));
         }},
        {"Change End X", 4,  // typing "123" is one step
         [=, this] {
           QSpinBox* edit =
               w_->findChild<TRICParameterEdit*>("RICParameterEdit_Line_X2")->ConstantEdit;
           edit->setFocus();
           edit->selectAll();
           QTest::keyClicks(edit, "123");
         }},
        {"Place Line", 4,
         [=, this] {
           QTest::mousePress(w_->findChild<TNxtImage*>("Image_Line"), Qt::LeftButton, {},
                             OnScreen(5, 50));
           QTest::mouseMove(w_->findChild<TNxtImage*>("Image_Line"), OnScreen(60, 20));
           QTest::mouseMove(w_->findChild<TNxtImage*>("Image_Line"), OnScreen(70, 30));
           QTest::mouseRelease(w_->findChild<TNxtImage*>("Image_Line"), Qt::LeftButton, {},
                               OnScreen(70, 30));
         }},
        {"Change Width", 0,
         [=, this] { Find<THoldingSpinEdit>("SpinEdit_Information_Width")->setValue(77); }},
        {"Place CopyBits", 3,
         [=, this] {
           QTest::mousePress(Find<TNxtImage>("Image_CopyBits_Destination"), Qt::LeftButton, {},
                             QPoint(41, 41));
         }},
        {"Adapt Parameters to Sprite", 3,
         [=, this] { Find<QPushButton>("Button_CopyBits_Adapt2Sprite")->click(); }},
        {"Optimize VarMap", 2, [=, this] { Click("SpeedButton_VarMap_Optimize"); }},
        {"Set VarMap Point", 2,
         [=] {
           QTest::mouseClick(map()->Image_VarMap, Qt::LeftButton, {},
                             QPoint(map()->GraphX(50), map()->GraphY(30)));
         }},
        {"Change VarMap Point", 2, [=] { map()->SpinEdit_VarMap_Range[1]->setValue(40); }},
        {"Import VarMap List", 2,
         [=, this] {
           QGuiApplication::clipboard()->setText("0 5 50 20 100 60");
           Click("SpeedButton_VarMap_Import");
         }},
        {"Draw Line", 1,  // one step, without the red preview pixels
         [=] {
           sprite()->SetSpriteTool(SpriteToolState::Line);
           QTest::mousePress(sprite()->Image_Sprite, Qt::LeftButton, {}, QPoint(10, 10));
           QTest::mouseMove(sprite()->Image_Sprite, QPoint(40, 30));
           QTest::mouseRelease(sprite()->Image_Sprite, Qt::LeftButton, {}, QPoint(60, 30));
         }},
        {"Invert Area", 1,
         [=, this] {
           sprite()->SetMarkedArea(0, 500, 3, 501);
           Trigger("Menu_Edit_Sprite_MarkArea_InvertArea");
         }},
        {"Merge more.ric", 4,
         [=, this] {
           SaveRicFile(Path("more.ric").toStdString(), ElementList());
           dialogs_->files.push_back(Path("more.ric"));
           Click("SpeedButton_FileIO_Merge");
         }},
        {"Import RicScript", 4,
         [=, this] {
           WriteFile("one.rs", "Circle(0, 50, 30, 5)\r\n");
           dialogs_->files.push_back(Path("one.rs"));
           Trigger("ImportRicScript1");
         }},
    };
  }

 private slots:
  // Each step's name in the menu; undo and redo by the keys give back the
  // exact document, and undoing to the saved state clears "modified".
  void everyStepUndoesAndRedoesToTheExactBytes_data() {
    QTest::addColumn<int>("step");
    const std::vector<StepCase> cases = StepCases();
    for (std::size_t i = 0; i < cases.size(); ++i) QTest::newRow(cases[i].name) << int(i);
  }
  void everyStepUndoesAndRedoesToTheExactBytes() {
    QFETCH(int, step);
    const StepCase c = StepCases()[std::size_t(step)];
    const QString name = c.name;
    for (const char* b :
         {"SpeedButton_RIC_AddComment", "SpeedButton_RIC_AddSprite", "SpeedButton_RIC_AddVarMap",
          "SpeedButton_RIC_AddCopyBits", "SpeedButton_RIC_AddLine"})
      Click(b);
    TRICElement& sprite = *ElementList()[1];
    sprite.Canvas.SetPixelIndex(2, 500, kBlackIndex);
    sprite.UsedArea = TRect{0, 500, 3, 501};
    ElementList()[2]->Points = {{0, 0}, {10, 10}, {20, 20}};
    ElementList()[2]->ID = 2;  // hides no sprite
    Doc().MarkSaved();
    w_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w_.get()));
    w_->SelectElement(c.select);
    const std::vector<std::uint8_t> before = EncodeRic(ElementList());
    c.take();
    const std::vector<std::uint8_t> after = EncodeRic(ElementList());
    QVERIFY(after != before);
    QVERIFY(w_->Modified());
    QCOMPARE(Doc().UndoCount(), std::size_t(6));
    QCOMPARE(Find<QAction>("Menu_Edit_Undo")->text().remove('&'), "Undo " + name);
    QCOMPARE(Find<QToolButton>("SpeedButton_RIC_Undo")->toolTip(), "Undo " + name);
    QCOMPARE(Find<QAction>("Menu_Edit_Redo")->text().remove('&'), QString("Redo"));
    QVERIFY(!Find<QToolButton>("SpeedButton_RIC_Redo")->isEnabled());
    // The window's undo wins over a focused field's own.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(EncodeRic(ElementList()) == before);
    QVERIFY(!w_->Modified());
    QCOMPARE(Find<QAction>("Menu_Edit_Redo")->text().remove('&'), "Redo " + name);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(EncodeRic(ElementList()) == after);
    QCOMPARE(w_->SelectedElement(), ElementList().At(w_->SelectedIndex()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z,
                    Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(EncodeRic(ElementList()) == after);  // nothing left to redo
    dialogs_->files.push_back(Path(QString("saved-%1.ric").arg(QTest::currentDataTag())));
    QVERIFY(w_->SaveDocumentAs());
    Find<QAction>("Menu_Edit_Undo")->trigger();
    QCOMPARE(Status(7), QString("modified"));  // the state before the save
    Find<QAction>("Menu_Edit_Redo")->trigger();
    QVERIFY(!w_->Modified());
    QCOMPARE(Status(7), QString());
    w_->NewCommand();  // a new document, a new history
    QVERIFY(!Find<QAction>("Menu_Edit_Undo")->isEnabled());
  }

  void doubleAndMoveFollowTheSelection() {
    for (const char* b :
         {"SpeedButton_RIC_AddComment", "SpeedButton_RIC_AddLine", "SpeedButton_RIC_AddCircle"})
      Click(b);
    TRICElement *a = ElementList()[0], *b = ElementList()[1], *c = ElementList()[2];
    Click("SpeedButton_RIC_Double");  // C selected: [A, B, C', C]
    QCOMPARE(ElementList().Count(), 4);
    QCOMPARE(ElementList()[3], c);
    QCOMPARE(ElementList()[2]->Kind, RICElementKind::Circle);
    QCOMPARE(w_->SelectedIndex(), 2);
    Click("SpeedButton_RIC_Delete");  // back to [A, B, C], C selected
    QCOMPARE(w_->SelectedIndex(), 2);
    ClickRow(1);
    Click("SpeedButton_RIC_MoveUp");  // A first: exchanged with the last
    QCOMPARE(ElementList()[0], c);
    QCOMPARE(ElementList()[1], b);
    QCOMPARE(ElementList()[2], a);
    QCOMPARE(w_->SelectedIndex(), 2);
    Click("SpeedButton_RIC_MoveDown");  // A last: back to the first place
    QCOMPARE(ElementList()[0], a);
    QCOMPARE(ElementList()[2], c);
    QCOMPARE(w_->SelectedIndex(), 0);
    // Delete key on the grid.
    Find<TDrawGrid>("DrawGrid_RIC")->setFocus();
    QTest::keyClick(Find<TDrawGrid>("DrawGrid_RIC"), Qt::Key_Delete);
    QCOMPARE(ElementList().Count(), 2);
    QCOMPARE(ElementList()[0], b);
  }

  void elementsTravelBetweenWindowsAsRicBytes() {
    Click("SpeedButton_RIC_AddSprite");
    TRICElement& sprite = *ElementList()[0];
    sprite.ID = 4;
    ExtendUsedArea(sprite.Canvas, sprite.UsedArea, 0, 0, 9, 3);
    sprite.Canvas.SetPixelIndex(2, 1, kBlackIndex);
    RICElementList copied;
    copied.Add(DuplicateElement(sprite));
    const std::vector<std::uint8_t> bytes = EncodeRic(copied);
    w_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w_.get()));
    ClickRow(1);  // the list has the keyboard
    QTest::keyClick(Find<TDrawGrid>("DrawGrid_RIC"), Qt::Key_C, Qt::ControlModifier);
    QVERIFY(QApplication::clipboard()->text().startsWith("sprite( 4,"));
    // Another window with a document of its own takes it after its selected element.
    Doc().MarkSaved();
    w_ = StartEditor(*dialogs_);
    w_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w_.get()));
    Click("SpeedButton_RIC_AddComment");
    Click("SpeedButton_RIC_AddLine");
    ClickRow(1);
    Trigger("Menu_Edit_Paste");
    QCOMPARE(ElementList().Count(), 3);
    QCOMPARE(w_->SelectedIndex(), 1);
    RICElementList pasted;
    pasted.Add(DuplicateElement(*ElementList()[1]));
    QVERIFY(EncodeRic(pasted) == bytes);
    QCOMPARE(Doc().UndoName(), std::string("Paste Sprite"));
    QVERIFY(w_->Modified());
    // Cut takes it out again; a right click selects a row and its menu pastes it back.
    QTest::keyClick(Find<TDrawGrid>("DrawGrid_RIC"), Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(ElementList().Count(), 2);
    QWidget* vp = Find<TDrawGrid>("DrawGrid_RIC")->viewport();
    const QPoint first = Find<TDrawGrid>("DrawGrid_RIC")->CellRect(1, 1).center();
    QTest::mouseClick(vp, Qt::RightButton, {}, first);
    QContextMenuEvent request(QContextMenuEvent::Mouse, first, vp->mapToGlobal(first));
    QApplication::sendEvent(vp, &request);
    auto* menu = w_->findChild<QMenu*>("Menu_ElementList_Context");
    QVERIFY(menu && menu->isVisible());
    menu->actions()[2]->trigger();
    menu->hide();
    QCOMPARE(ElementList().Count(), 3);
    QCOMPARE(ElementList()[1]->Kind, RICElementKind::Sprite);
    // Elements from elsewhere larger than a RIC file can be are refused, not decoded.
    auto* huge = new QMimeData;
    huge->setData("application/x-tavlin-ric-elements",
                  QByteArray("\x0A\x00\x04\x00\x00\x00\x01\x00\x02\x00\x00\x00", 12)
                      .repeated(262144 / 12 + 1));  // 21,846 Points
    QApplication::clipboard()->setMimeData(huge);
    Trigger("Menu_Edit_Paste");
    QCOMPARE(ElementList().Count(), 3);
    QCOMPARE(dialogs_->errors.size(), 1);
  }

  // RicScript text pastes after the selection as one step; text that does not
  // read says where and pastes nothing.
  void pasteRicScriptText() {
    Click("SpeedButton_RIC_AddComment");
    Click("SpeedButton_RIC_AddCircle");
    ClickRow(1);
    QApplication::clipboard()->setText("pixel( 0, 5, 6 );\nline( 0, 0, 0, 9, 9 );\n");
    Trigger("Menu_Edit_Paste");
    QCOMPARE(ElementList().Count(), 4);
    QCOMPARE(ElementList()[1]->Kind, RICElementKind::Pixel);
    QCOMPARE(ElementList()[2]->Kind, RICElementKind::Line);
    QCOMPARE(Doc().UndoName(), std::string("Paste Elements"));
    Trigger("Menu_Edit_Undo");
    QCOMPARE(ElementList().Count(), 2);
    QApplication::clipboard()->setText("pixel( 0, 5, 6 );\n  circel( 0, 1, 2, 3 );\n");
    Trigger("Menu_Edit_Paste");
    QCOMPARE(ElementList().Count(), 2);
    QCOMPARE(dialogs_->errors.size(), 1);
    QVERIFY2(dialogs_->errors[0].contains("clipboard:2:3: "), qPrintable(dialogs_->errors[0]));
  }

  void dragInTheListExchangesTwoElements() {
    for (const char* b :
         {"SpeedButton_RIC_AddComment", "SpeedButton_RIC_AddLine", "SpeedButton_RIC_AddCircle"})
      Click(b);
    Doc().MarkSaved();
    TRICElement *a = ElementList()[0], *b = ElementList()[1], *c = ElementList()[2];
    TDrawGrid* grid = Find<TDrawGrid>("DrawGrid_RIC");
    QWidget* vp = grid->viewport();
    // With Shift held nothing moves.
    QTest::mousePress(vp, Qt::LeftButton, {}, grid->CellRect(1, 1).center());
    QTest::mouseMove(vp, grid->CellRect(1, 3).center());
    QMouseEvent shifted(QEvent::MouseMove, grid->CellRect(1, 3).center(),
                        vp->mapToGlobal(grid->CellRect(1, 3).center()), Qt::NoButton,
                        Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(ElementList()[0], c);  // the plain move did exchange: undo it by dragging back
    QApplication::sendEvent(vp, &shifted);
    QCOMPARE(ElementList()[0], c);
    QTest::mouseMove(vp, grid->CellRect(1, 1).center());
    QTest::mouseRelease(vp, Qt::LeftButton, {}, grid->CellRect(1, 1).center());
    QCOMPARE(ElementList()[0], a);
    QCOMPARE(ElementList()[1], b);
    QCOMPARE(ElementList()[2], c);
    QVERIFY(!w_->Modified());  // back in its first order: no step
    QCOMPARE(w_->SelectedIndex(), 0);
  }

  void modifiedDragsAndPressesOffTheRowsMoveNothing() {
    for (const char* b :
         {"SpeedButton_RIC_AddPixel", "SpeedButton_RIC_AddLine", "SpeedButton_RIC_AddRectangle"})
      Click(b);
    TRICElement *a = ElementList()[0], *c = ElementList()[2];
    TDrawGrid* grid = Find<TDrawGrid>("DrawGrid_RIC");
    QWidget* vp = grid->viewport();
    // A Shift drag from row 1 to row 3: nothing moves, and the highlight stays on row 1.
    ClickRow(1);
    QTest::mousePress(vp, Qt::LeftButton, Qt::ShiftModifier, grid->CellRect(1, 1).center());
    QMouseEvent shifted(QEvent::MouseMove, grid->CellRect(1, 3).center(),
                        vp->mapToGlobal(grid->CellRect(1, 3).center()), Qt::NoButton,
                        Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(vp, &shifted);
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::ShiftModifier, grid->CellRect(1, 3).center());
    QCOMPARE(ElementList()[0], a);
    QCOMPARE(w_->SelectedIndex(), 0);
    QCOMPARE(grid->Row(), 1);
    // A press below the rows, dragged onto row 3, moves nothing either.
    QPoint below(grid->CellRect(1, 3).center().x(), grid->CellRect(1, 3).bottom() + 30);
    QTest::mousePress(vp, Qt::LeftButton, {}, below);
    QTest::mouseMove(vp, grid->CellRect(1, 3).center());
    QTest::mouseRelease(vp, Qt::LeftButton, {}, grid->CellRect(1, 3).center());
    QCOMPARE(ElementList()[0], a);
    QCOMPARE(ElementList()[2], c);
    // The Delete key then acts on the highlighted row.
    QCOMPARE(grid->Row(), w_->SelectedIndex() + 1);
  }

  void commandsInPreviewModeKeepThePreviewCurrent() {
    Click("SpeedButton_Preview");
    Click("SpeedButton_RIC_AddPixel");  // reachable from the Edit menu in preview mode
    Trigger("Menu_Edit_ElementList_Add_Circle");
    QCOMPARE(ElementList().Count(), 2);
    QCOMPARE(Find<QStackedWidget>("PageControl_Edit")->currentWidget(),
             Find<QWidget>("TabSheet_Edit_Preview"));
    QCOMPARE(QColor(Find<TNxtImage>("Image_Preview")->Picture().pixel(OnScreen(40, 30))),
             QColor(Qt::black));
    Click("SpeedButton2");
    QCOMPARE(Find<QStackedWidget>("PageControl_Edit")->currentWidget(),
             w_->findChild<QWidget*>("TabSheet_Edit_Circle"));
  }

  void parameterFileLoadSaveAndClear() {
    Find<QSpinBox>("SpinEdit_Param02")->setValue(1234);
    dialogs_->files.push_back(Path("p.rpa"));
    Click("SpeedButton_Preview_ParamSave");
    QCOMPARE(QString::fromStdString(Params().ParameterFileName), Path("p.rpa"));
    QCOMPARE(dialogs_->fileFilters.last(), QString("Tavlin parameter file|*.rpa"));
    // Clear asks; No keeps the values, Yes zeroes them.
    dialogs_->answers.push_back(false);
    Click("SpeedButton_Preview_ParamNew");
    QCOMPARE(dialogs_->questions.last(),
             QString("All parameter will be set to 0. Would you proceed?"));
    QCOMPARE(int(Params().ParameterSet[2]), 1234);
    dialogs_->answers.push_back(true);
    Trigger("Menu_Edit_Parameter_Clear");
    QCOMPARE(int(Params().ParameterSet[2]), 0);
    QCOMPARE(Find<QSpinBox>("SpinEdit_Param02")->value(), 0);
    // Cancelling the load changes nothing; loading brings the value back into the panel.
    dialogs_->files.push_back(std::nullopt);
    Click("SpeedButton_Preview_ParamLoad");
    QCOMPARE(int(Params().ParameterSet[2]), 0);
    dialogs_->files.push_back(Path("p.rpa"));
    Trigger("Menu_Edit_Parameter_Load");
    QCOMPARE(int(Params().ParameterSet[2]), 1234);
    QCOMPARE(Find<QSpinBox>("SpinEdit_Param02")->value(), 1234);
  }

  void onlyAParameterFileReadOrWrittenWithoutErrorIsAdopted() {
    std::string ric("\x0A\x00\x04\x00\x00\x00\x01\x00\x02\x00\x00\x00", 12);
    WriteFile("picture.ric", ric);
    const std::string before = Params().ParameterFileName;
    dialogs_->files.push_back(Path("picture.ric"));
    Trigger("Menu_Edit_Parameter_Load");
    dialogs_->files.push_back(Path("missing-folder/p.rpa"));
    Trigger("Menu_Edit_Parameter_Save");
    QCOMPARE(dialogs_->errors.size(), 2);
    QVERIFY2(dialogs_->errors[0].startsWith(Path("picture.ric") + ": "),
             qPrintable(dialogs_->errors[0]));
    QCOMPARE(Params().ParameterFileName, before);
    // A text file that stops at a bad line changes no value.
    WriteFile("half.rpa", "3:77\r\nx:1\r\n");
    dialogs_->files.push_back(Path("half.rpa"));
    Trigger("Menu_Edit_Parameter_Load");
    QCOMPARE(dialogs_->errors.size(), 3);
    QCOMPARE(Params().ParameterSet[3], 0);
    QVERIFY(w_->close());  // writes the parameter file, never the picture
    QVERIFY(FileBytes(Path("picture.ric")) == std::vector<std::uint8_t>(ric.begin(), ric.end()));
  }

  // Closing writes the parameter file back: a text file of something else
  // never becomes it, and the previous one stays.
  void parameterLoadTakesOnlyAFileOfParameterLines() {
    const std::string list = "milk\r\neggs\r\n", script = "SPRITE(1, 8, 2)\n";
    WriteFile("list.rpa", list);
    WriteFile("script.rs", script);
    const std::string before = Params().ParameterFileName;
    Find<QSpinBox>("SpinEdit_Param02")->setValue(5);
    for (const char* name : {"list.rpa", "script.rs"}) {
      dialogs_->files.push_back(Path(name));
      Click("SpeedButton_Preview_ParamLoad");
    }
    const QString notOne = " is no parameter line (INDEX : VALUE)\n\nThe parameter file is still " +
                           QString::fromStdString(before) + ".";
    QCOMPARE(dialogs_->errors,
             QStringList({Path("list.rpa") + ": line 1: 'milk'" + notOne,
                          Path("script.rs") + ": line 1: 'SPRITE(1, 8, 2)'" + notOne}));
    QCOMPARE(Params().ParameterFileName, before);
    QCOMPARE(Find<QSpinBox>("SpinEdit_Param02")->value(), 5);
    QVERIFY(w_->close());
    QVERIFY(FileBytes(Path("list.rpa")) == std::vector<std::uint8_t>(list.begin(), list.end()));
    QVERIFY(FileBytes(Path("script.rs")) ==
            std::vector<std::uint8_t>(script.begin(), script.end()));
  }

  // A parameter save asks before it replaces a file, as every save does.
  void parameterSaveAsksBeforeReplacingAFile() {
    const std::string picture("\x0A\x00\x04\x00\x00\x00\x01\x00\x02\x00\x00\x00", 12);
    WriteFile("pic.ric", picture);
    const std::string before = Params().ParameterFileName;
    dialogs_->files = {Path("pic.ric"), std::nullopt};
    dialogs_->answers.push_back(false);  // No goes back to the dialog, which is cancelled
    Click("SpeedButton_Preview_ParamSave");
    QCOMPARE(dialogs_->questions,
             QStringList("pic.ric already exists.\nDo you want to replace it?"));
    QVERIFY(FileBytes(Path("pic.ric")) ==
            std::vector<std::uint8_t>(picture.begin(), picture.end()));
    QCOMPARE(Params().ParameterFileName, before);
    dialogs_->files.push_back(Path("pic.ric"));
    dialogs_->answers.push_back(true);
    Trigger("Menu_Edit_Parameter_Save");
    QCOMPARE(Params().ParameterFileName, Path("pic.ric").toStdString());
    const std::vector<std::uint8_t> replaced = FileBytes(Path("pic.ric"));
    QVERIFY(std::string(replaced.begin(), replaced.end()).starts_with("#  Tavlin paramter file"));
  }

  // Without a home folder no settings are written, least of all into the
  // working folder: the status bar says once that the values last this run only.
  void withoutAConfigFolderNothingIsWrittenIntoTheWorkingFolder() {
    struct Environment {
      QByteArray home = qgetenv("HOME"), config = qgetenv("XDG_CONFIG_HOME");
      QString folder = QDir::currentPath();
      ~Environment() {
        qputenv("HOME", home);
        qputenv("XDG_CONFIG_HOME", config);
        QDir::setCurrent(folder);
      }
    } restore;
    qunsetenv("HOME");
    qunsetenv("XDG_CONFIG_HOME");
    QVERIFY(QDir().mkpath(Path("work")));
    QDir::setCurrent(Path("work"));
    WriteFile("seen.ric", std::string("\x0A\x00\x04\x00\x00\x00\x01\x00\x02\x00\x00\x00", 12));
    Doc().MarkSaved();
    w_.reset();
    w_ = StartEditor(*dialogs_);
    QCOMPARE(Status(6),
             QString("No settings folder: parameter values are kept only while the program runs"));
    Find<QSpinBox>("SpinEdit_Param02")->setValue(5);
    w_->SetDisplayMode(DisplayMode::BrickLego);
    QVERIFY(w_->OpenRicFile(Path("seen.ric")));
    QVERIFY(w_->close());
    QCOMPARE(dialogs_->errors, QStringList());
    QCOMPARE(QDir(Path("work")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());
  }

  void destroyingTheWindowWhileAParameterEditHasFocus() {
    QVERIFY(QTest::qWaitForWindowActive(w_.get()));
    Find<QSpinBox>("SpinEdit_Param01")->setFocus();
    QVERIFY(Find<QFrame>("Panel_Param01")->frameStyle() !=
            QFrame::NoFrame);  // the edited row shows
    w_.reset();                // its focus-out must not reach the half-destroyed window (UBSan)
  }

  void failedMergeLeavesTheDocumentAndSaysWhy() {
    Click("SpeedButton_RIC_AddLine");
    QDir().mkpath(Path("folder.ric"));
    Doc().MarkSaved();
    dialogs_->files.push_back(Path("folder.ric"));
    Click("SpeedButton_FileIO_Merge");
    QCOMPARE(ElementList().Count(), 1);
    QCOMPARE(dialogs_->errors.size(), 1);
    QVERIFY2(dialogs_->errors[0].startsWith(Path("folder.ric") + ": "),
             qPrintable(dialogs_->errors[0]));
    QVERIFY(!w_->Modified());
  }

  void statusBarPanelsSitAtTheirWidths() {
    // The count's panel may be wider than 30 to hold the largest count.
    const int lefts[8] = {0, 50, 90, 130, 190, 220, 280, 930};
    const int wider = Find<QLabel>("StatusPanel4")->width() - 30;
    QVERIFY(wider >= 0);
    int origin = Find<QLabel>("StatusPanel0")->x();
    // The file name's panel makes room for the display mode's choice.
    const int mode = Find<QComboBox>("ComboBox_Status_DisplayMode")->sizeHint().width();
    for (int i = 0; i < 8; ++i)
      QCOMPARE(Find<QLabel>(QString("StatusPanel%1").arg(i))->x() - origin,
               lefts[i] + (i > 4 ? wider : 0) - (i == 7 ? mode : 0));
  }

  void statusAndOutputTextsFitTheirPlaces() {
    // Underscores and descenders, the widest words and numbers each panel shows.
    WriteFile("my_gallery_pygmy.ric", std::string("\x08\x00\x00\x00\x00\x00\x64\x00\x40\x00", 10));
    QVERIFY(w_->OpenRicFile(Path("my_gallery_pygmy.ric")));
    Doc().MarkChanged();
    w_->ShowHistoryState();
    w_->ShowPointerPosition(65535, 65535);
    Find<QLabel>("StatusPanel4")->setText("21845");
    w_->show();
    QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
    for (QLabel* panel : Find<QWidget>("StatusStrip")->findChildren<QLabel*>()) {
      const QFontMetrics fm = panel->fontMetrics();
      QVERIFY2(panel->contentsRect().height() >= fm.height(), qPrintable(panel->text()));
      QVERIFY2(fm.horizontalAdvance(panel->text().trimmed()) <= panel->contentsRect().width(),
               qPrintable(panel->text()));
    }
  }

  void theLargestCountsAndSizesShowWhole() {
    // 21,845 pixels fill the largest file; the count and size are read at
    // once, as a screenshot taken right after the change would.
    w_->show();
    QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
    while (ComputeFileSize(ElementList()) + 12 <= 262144)
      NewPixel(ElementList(), 0, RICArgument(1), RICArgument(2));
    w_->RefreshDocumentView();
    QCOMPARE(Status(4), QString::number(ElementList().Count()));
    QCOMPARE(Find<QLabel>("Label_FileSize")->text().size(), 6);
    for (const QLabel* l : {Find<QLabel>("StatusPanel4"), Find<QLabel>("Label_Elements"),
                            Find<QLabel>("Label_FileSize")})
      QVERIFY2(l->fontMetrics().horizontalAdvance(l->text()) <= l->contentsRect().width(),
               qPrintable(l->text()));
    QVERIFY(TextSpan(Find<QLabel>("Label_Elements")).second <=
            Find<QGroupBox>("GroupBox_NXT")->contentsRect().right());
    // "File Size: ", the size and "Bytes" side by side in the box.
    const QLabel* caption = nullptr;
    const QLabel* unit = nullptr;
    for (const QLabel* l : Find<QGroupBox>("GroupBox_NXT")->findChildren<QLabel*>()) {
      if (l->text() == "File Size: ") caption = l;
      if (l->text() == "Bytes") unit = l;
    }
    QVERIFY(caption && unit);
    QVERIFY(TextSpan(caption).second < TextSpan(Find<QLabel>("Label_FileSize")).first);
    QVERIFY(TextSpan(Find<QLabel>("Label_FileSize")).second < TextSpan(unit).first);
    QVERIFY(TextSpan(unit).second <= Find<QGroupBox>("GroupBox_NXT")->contentsRect().right());
    // The last step number, drawn on a wider sheet, stays inside its cell.
    TDrawGrid* grid = Find<TDrawGrid>("DrawGrid_RIC");
    QImage sheet(400, 100, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    const QRect cell = grid->CellRect(0, 1).translated(100, -grid->CellRect(0, 1).top());
    {
      QPainter p(&sheet);
      p.setFont(grid->viewport()->font());
      w_->DrawElementCell(p, 0, ElementList().Count(), cell, false);
    }
    for (int y = 0; y < sheet.height(); ++y)
      for (int x = 0; x < sheet.width(); ++x)
        if (!cell.contains(x, y)) QCOMPARE(sheet.pixel(x, y), QColor(Qt::white).rgb());
  }

  void saveReopenGivesTheSameBytes() {
    Click("SpeedButton_RIC_AddLine");
    Click("SpeedButton_RIC_AddSprite");
    QCOMPARE(w_->windowTitle(), QString("Untitled* - ") + tavlin::kProgramVersionText);
    dialogs_->files.push_back(Path("saved.ric"));
    Click("SpeedButton_FileIO_Save");  // no name yet: Save as
    QVERIFY(!w_->Modified());
    QCOMPARE(w_->windowTitle(), QString("saved.ric - ") + tavlin::kProgramVersionText);
    QCOMPARE(Status(6), QString("Saved saved.ric"));  // for a moment, then the path
    QTRY_COMPARE_WITH_TIMEOUT(Status(6), Path("saved.ric"), 5000);
    QCOMPARE(dialogs_->fileFilters.last(), QString("MINDSTORMS graphic files|*.ric"));
    auto first = FileBytes(Path("saved.ric"));
    QCOMPARE(first.size(), std::size_t(14 + 12));
    Click("SpeedButton_FileIO_New");
    QCOMPARE(ElementList().Count(), 0);
    QCOMPARE(Status(6), QString());
    QCOMPARE(w_->windowTitle(), QString("Untitled - ") + tavlin::kProgramVersionText);
    dialogs_->files.push_back(Path("saved.ric"));
    Click("SpeedButton_FileIO_Open");
    QCOMPARE(ElementList().Count(), 2);
    dialogs_->files.push_back(Path("again.ric"));
    Trigger("Menu_File_SaveAs");
    QVERIFY(FileBytes(Path("again.ric")) == first);
    Click("SpeedButton_RIC_AddLine");
    QCOMPARE(w_->windowTitle(), QString("again.ric* - ") + tavlin::kProgramVersionText);
  }

  void openWithUnsavedChangesAsksFirst() {
    WriteFile("one.ric", std::string("\x0A\x00\x04\x00\x00\x00\x01\x00\x02\x00\x00\x00", 12));
    Click("SpeedButton_RIC_AddLine");
    // Yes, then a cancelled Save as: nothing is opened.
    dialogs_->saveAnswers.push_back(SaveAnswer::Yes);
    dialogs_->files.push_back(std::nullopt);
    Click("SpeedButton_FileIO_Open");
    QCOMPARE(ElementList().Count(), 1);
    QCOMPARE(ElementList()[0]->Kind, RICElementKind::Line);
    QCOMPARE(dialogs_->questions.last(),
             QString("RIC file was modified. Do you want to save the file first?"));
    // No: the changes go, the file comes.
    dialogs_->saveAnswers.push_back(SaveAnswer::No);
    dialogs_->files.push_back(Path("one.ric"));
    Click("SpeedButton_FileIO_Open");
    QCOMPARE(ElementList().Count(), 1);
    QCOMPARE(ElementList()[0]->Kind, RICElementKind::Pixel);
    QVERIFY(!w_->Modified());
  }

  void mergeAppendsAndKeepsTheFileName() {
    WriteFile("one.ric", std::string("\x0A\x00\x04\x00\x00\x00\x01\x00\x02\x00\x00\x00", 12));
    WriteFile("base.ric",
              std::string("\x0C\x00\x05\x00\x00\x00\x00\x00\x00\x00\x0A\x00\x0A\x00", 14));
    QVERIFY(w_->OpenRicFile(Path("base.ric")));
    dialogs_->files.push_back(Path("one.ric"));
    Click("SpeedButton_FileIO_Merge");
    QCOMPARE(ElementList().Count(), 2);
    QCOMPARE(ElementList()[1]->Kind, RICElementKind::Pixel);
    QVERIFY(w_->Modified());
    QCOMPARE(w_->CurrentFileName(), Path("base.ric"));
  }

  void failedSaveKeepsTheOldFileAndReportsIt() {
    Click("SpeedButton_RIC_AddLine");
    dialogs_->files.push_back(Path("kept.ric"));
    Click("SpeedButton_FileIO_SaveAs");
    Click("SpeedButton_RIC_AddLine");
    dialogs_->files.push_back(Path("missing-folder/x.ric"));
    Click("SpeedButton_FileIO_SaveAs");
    QCOMPARE(dialogs_->errors.size(), 1);
    QVERIFY(dialogs_->errors[0].contains("Its folder does not exist"));
    QVERIFY(w_->Modified());
    // The document still belongs to the file it was saved to, so Save goes there.
    QCOMPARE(w_->CurrentFileName(), Path("kept.ric"));
    Click("SpeedButton_FileIO_Save");
    QCOMPARE(FileBytes(Path("kept.ric")).size(), std::size_t(28));
  }

  void saveAsOverAnExistingFileAsks() {
    WriteFile("kept.ric", std::string("\x0A\x00\x04\x00\x00\x00\x01\x00\x02\x00\x00\x00", 12));
    Click("SpeedButton_RIC_AddLine");
    // No goes back to the dialog; cancelling it keeps the file and the changes.
    dialogs_->files = {Path("kept.ric"), std::nullopt};
    dialogs_->answers.push_back(false);
    Click("SpeedButton_FileIO_SaveAs");
    QCOMPARE(dialogs_->questions,
             QStringList("kept.ric already exists.\nDo you want to replace it?"));
    QCOMPARE(FileBytes(Path("kept.ric")).size(), std::size_t(12));
    QVERIFY(w_->Modified());
    dialogs_->files.push_back(Path("kept.ric"));
    dialogs_->answers.push_back(true);
    Click("SpeedButton_FileIO_SaveAs");
    QCOMPARE(FileBytes(Path("kept.ric")).size(), std::size_t(14));
    // The script is proposed under the document's name.
    dialogs_->files.push_back(std::nullopt);
    Trigger("ExportRicScript1");
    QCOMPARE(dialogs_->fileNames.last(), Path("kept.rs"));
  }

  // File > Export > NXC and NBC source: proposed under the document's name, which
  // names the array; NXC asks the style, and a file that exists is replaced only on Yes.
  void exportsNxcAndNbcSource() {
    Click("SpeedButton_RIC_AddLine");
    dialogs_->files = {Path("gauge.ric")};
    Click("SpeedButton_FileIO_SaveAs");
    auto text = [this](const char* name) {
      std::vector<std::uint8_t> bytes = FileBytes(Path(name));
      return QString::fromLatin1(reinterpret_cast<const char*>(bytes.data()),
                                 qsizetype(bytes.size()));
    };
    dialogs_->saveAnswers = {SaveAnswer::Cancel, SaveAnswer::No, SaveAnswer::Yes};
    Trigger("Menu_File_Export_Nxc");  // Cancel: no file dialog
    dialogs_->files = {Path("gauge.nxc")};
    Trigger("Menu_File_Export_Nxc");
    QCOMPARE(dialogs_->fileNames.last(), Path("gauge.nxc"));
    QVERIFY(text("gauge.nxc").contains("byte gauge_ric[] = {\n  // 1 Line\n  0x0C, 0x00, 0x05"));
    dialogs_->files = {Path("gauge.nxc")};
    dialogs_->answers = {true};
    Trigger("Menu_File_Export_Nxc");
    QCOMPARE(dialogs_->questions.last(), "gauge.nxc already exists.\nDo you want to replace it?");
    QVERIFY(text("gauge.nxc").contains("  RICOpLine(0, RICImgPoint("));
    dialogs_->files = {Path("gauge.nbc")};
    Trigger("Menu_File_Export_Nbc");
    QCOMPARE(dialogs_->fileFilters.last(), "NBC source *.nbc|*.nbc");
    QVERIFY(text("gauge.nbc").contains("dseg segment\n  gauge_ric byte[] {0x0C, 0x00, 0x05"));
    QVERIFY(dialogs_->errors.isEmpty());
    QCOMPARE(dialogs_->textQuestions.last(), "Name of the array in the source: [gauge_ric]");
    // Another name for the array, and one no compiler takes.
    dialogs_->files = {Path("gauge.nbc"), Path("gauge.nbc")};
    dialogs_->answers = {true, true};
    dialogs_->texts = {QString("needle"), QString("2nd")};
    Trigger("Menu_File_Export_Nbc");
    QVERIFY(text("gauge.nbc").contains("  needle byte[] {0x0C"));
    Trigger("Menu_File_Export_Nbc");
    QCOMPARE(dialogs_->errors, QStringList{"'2nd' is no array name: use letters, digits and _, "
                                           "not a digit first, and no NXC or NBC word"});
    QVERIFY(text("gauge.nbc").contains("  needle byte[] {0x0C"));
  }

  // File > Open Recent: the last eight files opened or saved, newest first, kept between runs.
  void recentFilesAreKeptNewestFirst() {
    QFile::remove(Path("config/tavlin/recent-files"));
    QCOMPARE(RecentNames(*w_), QStringList());
    QStringList names;
    for (int i = 0; i < 9; ++i) {
      names.prepend(QString("f%1.ric").arg(i));
      WriteFile(names.first(), "");
      QVERIFY(w_->OpenRicFile(Path(names.first())));
    }
    QVERIFY(w_->OpenRicFile(Path("f3.ric")));
    names.move(names.indexOf("f3.ric"), 0);
    QCOMPARE(RecentNames(*w_), names.mid(0, 8));
    TForm_Tavlin next(*dialogs_);
    QCOMPARE(RecentNames(next), names.mid(0, 8));
    // A file that is gone is reported, without a question, and leaves the list.
    Click("SpeedButton_RIC_AddLine");
    QFile::remove(Path("f8.ric"));
    w_->findChild<QMenu*>("Menu_File_Recent")->actions()[1]->trigger();
    QCOMPARE(dialogs_->errors, QStringList(Path("f8.ric") + ": File not found"));
    QCOMPARE(RecentNames(next), names.mid(0, 8).filter(QRegularExpression("f[^8]")));
    // An entry opens after the usual question.
    dialogs_->saveAnswers.push_back(SaveAnswer::No);
    w_->findChild<QMenu*>("Menu_File_Recent")->actions()[2]->trigger();
    QCOMPARE(w_->CurrentFileName(), Path("f6.ric"));
  }

  // Every way the window writes a file, through every failing call of the file layer.
  void everySaveKeepsTheOldFileWhenAnyCallFails() {
    Click("SpeedButton_RIC_AddCircle");
    dialogs_->modalScript = [](QDialog*) { return int(QDialog::Accepted); };  // export settings
    QDir().mkpath(Path("saves"));  // a folder that holds only what the saves write
    auto answer = [&](const QString& file) {
      dialogs_->files.push_back(Path(file));
      dialogs_->answers.push_back(true);  // replace the file that is there
    };
    struct Row {
      QString file;
      std::function<void()> save;
      bool document = false;  // saves the document, which must stay unsaved on failure
    };
    const std::vector<Row> rows = {
        {"saves/doc.ric",
         [&] {
           w_->SetCurrentFileName(Path("saves/doc.ric"));
           Doc().MarkChanged();
           Trigger("Menu_File_Save");
         },
         true},
        {"saves/as.ric",
         [&] {
           Doc().MarkChanged();
           answer("saves/as.ric");
           Trigger("Menu_File_SaveAs");
         },
         true},
        {"saves/p.rpa", [&] { answer("saves/p.rpa"), Trigger("Menu_Edit_Parameter_Save"); }},
        {"saves/close.rpa",
         [&] {
           Params().ParameterFileName = Path("saves/close.rpa").toStdString();
           Doc().MarkSaved();
           w_->show();  // again, after the last run closed it
           w_->close();
         }},
        {"saves/x.rs", [&] { answer("saves/x.rs"), Trigger("ExportRicScript1"); }},
        {"saves/x.nxc",
         [&] {
           dialogs_->saveAnswers.push_back(SaveAnswer::Yes);
           answer("saves/x.nxc");
           Trigger("Menu_File_Export_Nxc");
         }},
        {"saves/x.nbc", [&] { answer("saves/x.nbc"), Trigger("Menu_File_Export_Nbc"); }},
        {"saves/x.png", [&] { answer("saves/x.png"), Trigger("Menu_File_Export_Png"); }},
        {"saves/x.gif", [&] { answer("saves/x.gif"), Trigger("Menu_File_Export_Gif"); }},
    };
    for (const Row& row : rows) {
      WriteFile(row.file, std::string(500, 'o'));
      const auto problems = tavlin::test::SaveFaultProblems({Path(row.file).toStdString()}, [&] {
        const qsizetype errors = dialogs_->errors.size();
        row.save();
        return tavlin::test::SaveOutcome{
            dialogs_->errors.size() > errors ? dialogs_->errors.last().toStdString() : "",
            !row.document || w_->Modified()};
      });
      QVERIFY2(problems.empty(),
               qPrintable(row.file + ": " +
                          QString::fromStdString(problems.empty() ? "" : problems[0])));
    }
  }

  // A default parameter file that failed to read is left as it was at close,
  // until the user saves parameters; a link there is never written through.
  void closingLeavesABadOrLinkedDefaultParameterFileAlone() {
    const QString config = Path("config/tavlin/Tavlin.RPA");
    const std::string bad = "  1 : 5\r\n  2 : x\r\n  9 : 9\r\n";
    QDir().mkpath(Path("config/tavlin"));
    WriteFile("elsewhere.rpa", bad);
    auto restart = [&] {
      Doc().MarkSaved();
      w_.reset();
      w_ = StartEditor(*dialogs_);
    };
    auto link = [&] {
      QFile::remove(config);
      std::filesystem::create_symlink(Path("elsewhere.rpa").toStdString(), config.toStdString());
    };
    // A bad line: kept at close; saved by the user, then written at close.
    std::ofstream(config.toStdString(), std::ios::binary) << bad;
    restart();
    QVERIFY(w_->close());
    QCOMPARE(FileBytes(config).size(), bad.size());
    restart();
    dialogs_->files.push_back(config);
    dialogs_->answers.push_back(true);  // replace it
    Click("SpeedButton_Preview_ParamSave");
    Find<QSpinBox>("SpinEdit_Param03")->setValue(33);
    QVERIFY(w_->close());
    TParameterSet read{};
    ReadParameterFile(config.toStdString(), read);
    QCOMPARE(int(read[3]), 33);
    // A link found at start, and one made while the editor ran.
    for (bool atStart : {true, false}) {
      QFile::remove(config);
      if (atStart) link();
      restart();
      if (!atStart) link();
      const qsizetype errors = dialogs_->errors.size();
      QVERIFY(w_->close());
      QCOMPARE(dialogs_->errors.size(), errors + (atStart ? 0 : 1));
      QCOMPARE(FileBytes(Path("elsewhere.rpa")).size(), bad.size());
      QVERIFY(QFileInfo(config).isSymLink());
    }
    QFile::remove(config);
  }

  // A pipe named as a document is refused at once, from the command line and from Open.
  void aPipeNamedAsADocumentIsRefusedAtOnce() {
    QVERIFY(::mkfifo(Path("pipe.ric").toLocal8Bit().constData(), 0600) == 0);
    Click("SpeedButton_RIC_AddCircle");
    Doc().MarkSaved();
    QVERIFY(!w_->OpenRicFile(Path("pipe.ric")));
    dialogs_->files.push_back(Path("pipe.ric"));
    Trigger("Menu_File_Load");
    QCOMPARE(dialogs_->errors, QStringList(2, Path("pipe.ric") + ": Is a pipe, not a file"));
    QCOMPARE(ElementList().Count(), 1);
  }

  void closeWithUnsavedWorkAsks() {
    Click("SpeedButton_RIC_AddLine");
    // Yes without a file name: Save as; cancelled, so the window stays.
    dialogs_->saveAnswers.push_back(SaveAnswer::Yes);
    dialogs_->files.push_back(std::nullopt);
    QVERIFY(!w_->close());
    QVERIFY(w_->isVisible());
    QCOMPARE(dialogs_->questions.last(),
             QString("RIC file was modified. Would you like to save the file first?"));
    // No: it closes and writes the parameter file.
    Params().ParameterSet[3] = 7;
    dialogs_->saveAnswers.push_back(SaveAnswer::No);
    QVERIFY(w_->close());
    TParameterSet read{};
    ReadParameterFile(Path("config/tavlin/Tavlin.RPA").toStdString(), read);
    QCOMPARE(int(read[3]), 7);
  }

  void cancelOrAFailedSaveAbortsEveryCommandThatAsks() {
    WriteFile("other.ric", std::string("\x0A\x00\x04\x00\x00\x00\x01\x00\x02\x00\x00\x00", 12));
    Click("SpeedButton_RIC_AddLine");
    w_->SetCurrentFileName(Path("missing-folder/x.ric"));  // Yes: the save fails
    for (SaveAnswer answer : {SaveAnswer::Cancel, SaveAnswer::Yes})
      for (QString command :
           {"Menu_File_New", "Menu_File_Load", "ImportRicScript1", "drop", "close"}) {
        dialogs_->saveAnswers.push_back(answer);
        if (command == "drop")
          Drop("other.ric");
        else if (command == "close")
          QVERIFY(!w_->close());
        else
          Trigger(qPrintable(command));  // a file dialog now would fail the test
        QCOMPARE(ElementList().Count(), 1);
        QVERIFY(w_->Modified() && w_->isVisible());
      }
    QCOMPARE(dialogs_->errors.size(), 5);
  }

  void escapeOnTheRealQuestionKeepsTheWork() {
    QtUserDialogs real;
    w_ = StartEditor(real);
    QVERIFY(QTest::qWaitForWindowActive(w_.get()));
    Click("SpeedButton_RIC_AddLine");
    int escapes = 0;
    QTimer esc;  // answers each modal box with Esc
    connect(&esc, &QTimer::timeout, [&] {
      if (QWidget* box = QApplication::activeModalWidget()) {
        QTest::keyClick(box, Qt::Key_Escape);
        ++escapes;
      }
    });
    esc.start(20);
    QTest::keyClick(w_.get(), Qt::Key_N, Qt::ControlModifier);
    QVERIFY(!w_->close());
    QCOMPARE(escapes, 2);
    QCOMPARE(ElementList().Count(), 1);
    w_.reset();  // before `real` goes
  }

  void ricScriptImportAndExport() {
    WriteFile("good.rs", "Line(0, 1, 2, 3, 4)\r\nCircle(0, 50, 30, 5)\r\n");
    WriteFile("before.ric", std::string("\x0A\x00\x04\x00\x00\x00\x01\x00\x02\x00\x00\x00", 12));
    QVERIFY(w_->OpenRicFile(Path("before.ric")));
    Click("SpeedButton_RIC_AddPixel");
    dialogs_->saveAnswers.push_back(SaveAnswer::No);
    dialogs_->files.push_back(Path("good.rs"));
    Trigger("ImportRicScript1");
    QCOMPARE(ElementList().Count(), 2);
    QCOMPARE(ElementList()[0]->Kind, RICElementKind::Line);
    QCOMPARE(Find<QStackedWidget>("PageControl_Edit")->currentWidget(),
             w_->findChild<QWidget*>("TabSheet_Edit_Line"));
    QVERIFY(w_->Modified());
    // The imported document has no file yet: Save asks, proposing the script's name.
    QCOMPARE(Status(6), QString());
    dialogs_->files.push_back(std::nullopt);
    Trigger("Menu_File_Save");
    QCOMPARE(dialogs_->fileNames.last(), Path("good.ric"));
    QCOMPARE(FileBytes(Path("before.ric")).size(), std::size_t(12));
    dialogs_->files.push_back(Path("out.rs"));
    Trigger("ExportRicScript1");
    QVERIFY(w_->Modified());  // export does not clear it
    QVERIFY(QFile::exists(Path("out.rs")));
    QCOMPARE(dialogs_->fileFilters.last(), QString("RicScript *.rs|*.rs"));
  }

  void failedImportShowsWhereAndKeepsDoc() {
    WriteFile("bad.rs", "Line(0,1,2,3,4)\r\nSprite(1,\r\n  0101,\r\n  0102)\r\n");
    Click("SpeedButton_RIC_AddCircle");
    dialogs_->saveAnswers.push_back(SaveAnswer::No);
    dialogs_->files.push_back(Path("bad.rs"));
    Trigger("ImportRicScript1");
    QCOMPARE(dialogs_->errors.size(), 1);
    QVERIFY2(dialogs_->errors[0].contains("bad.rs:4:6: a sprite row may hold only 0 and 1"),
             qPrintable(dialogs_->errors[0]));
    QCOMPARE(ElementList().Count(), 1);
    QCOMPARE(ElementList()[0]->Kind, RICElementKind::Circle);
    QCOMPARE(Find<QLabel>("Label_Elements")->text(), QString("1"));
  }

  // Import shows its progress; cancelling it leaves the open document as it was.
  void cancellingAnImportKeepsDoc() {
    std::string script;
    for (int i = 0; i < 3000; ++i) script += "pixel( 0, 1, 2, 0 );\r\n";
    WriteFile("long.rs", script);
    Click("SpeedButton_RIC_AddCircle");
    dialogs_->cancelAtUpdate = 3;
    dialogs_->saveAnswers.push_back(SaveAnswer::No);
    dialogs_->files.push_back(Path("long.rs"));
    Trigger("ImportRicScript1");
    QCOMPARE(dialogs_->progressTexts, QStringList{"Reading long.rs..."});
    QCOMPARE(dialogs_->progressUpdates, 3);
    QVERIFY(dialogs_->errors.isEmpty());
    QCOMPARE(ElementList().Count(), 1);
    QCOMPARE(ElementList()[0]->Kind, RICElementKind::Circle);
    QVERIFY(w_->Modified());
  }

  // A script named on the command line (or in the Open dialog) is imported: the document
  // gets no file name, and Save asks instead of writing RIC bytes over the script.
  void aScriptOpenedAsAFileIsImported() {
    WriteFile("start.rs", "Line(0, 1, 2, 3, 4)\r\n");
    const std::vector<std::uint8_t> script = FileBytes(Path("start.rs"));
    QVERIFY(w_->OpenRicFile(Path("start.rs")));
    QCOMPARE(ElementList().Count(), 1);
    QCOMPARE(ElementList()[0]->Kind, RICElementKind::Line);
    QCOMPARE(w_->CurrentFileName(), QString());
    dialogs_->files.push_back(std::nullopt);
    Trigger("Menu_File_Save");
    QCOMPARE(dialogs_->fileNames, QStringList{Path("start.ric")});
    QCOMPARE(FileBytes(Path("start.rs")), script);
  }

  void closingKeepsTheOldWorkingFolderValuesInTheConfigFile() {
    QDir(Path("config")).removeRecursively();
    WriteFile("Tavlin.RPA", "  3 : 7\r\n");
    QCOMPARE(StartDocumentUnit(Doc()), std::string());
    QVERIFY(w_->close());
    WriteFile("Tavlin.RPA", "3 : 1\r\n");
    RICDocument next;
    QCOMPARE(StartDocumentUnit(next), std::string());
    QFile::remove(Path("Tavlin.RPA"));
    QCOMPARE(int(next.Parameters().ParameterSet[3]), 7);
  }

  void openingAMissingFileChangesNothing() {
    Click("SpeedButton_RIC_AddLine");
    QVERIFY(!w_->OpenRicFile(Path("no-such.ric")));
    QCOMPARE(ElementList().Count(), 1);
    QCOMPARE(dialogs_->errors, QStringList(Path("no-such.ric") + ": File not found"));
  }

  void droppingARicFileOpensIt() {
    WriteFile("dropped.ric", std::string("\x0A\x00\x04\x00\x00\x00\x01\x00\x02\x00\x00\x00", 12));
    Click("SpeedButton_RIC_AddLine");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(Path("dropped.ric"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w_.get(), &enter);
    QVERIFY(enter.isAccepted());
    dialogs_->saveAnswers.push_back(SaveAnswer::No);  // do not save the line first
    Drop("dropped.ric");
    QCOMPARE(ElementList().Count(), 1);
    QCOMPARE(ElementList()[0]->Kind, RICElementKind::Pixel);
    QCOMPARE(w_->CurrentFileName(), Path("dropped.ric"));
    // Other files are not taken.
    QMimeData text;
    text.setUrls({QUrl::fromLocalFile(Path("notes.txt"))});
    QDragEnterEvent other(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    other.setAccepted(false);
    QApplication::sendEvent(w_.get(), &other);
    QVERIFY(!other.isAccepted());
  }

  void aboutRunsTheAboutBox() {
    Trigger("Menu_About");
    QCOMPARE(dialogs_->modalRuns, 1);
  }

  // --- What the readers passed over -------------------------------------------

  // A damaged file opens or merges as far as it goes and says so once, naming
  // the file; a script that stops early names where. A clean file says nothing.
  void damagedFilesAndStoppedScriptsAreReported() {
    WriteFile("cut.ric", std::string("\x0A\x00\x07\x00\x00\x00\x14\x00\x14\x00\x0A\x00"
                                     "\x0A\x00\x07\x00\x00\x00\x1E\x00\x1E\x00",
                                     22));
    const QString cut = Path("cut.ric") + ": bytes 12 to 21: the file ends inside element 2";
    QVERIFY(w_->OpenRicFile(Path("cut.ric")));
    dialogs_->files.push_back(Path("cut.ric"));
    Click("SpeedButton_FileIO_Merge");
    QCOMPARE(ElementList().Count(), 2);
    QCOMPARE(dialogs_->warnings.size(), 2);
    QVERIFY2(dialogs_->warnings[0].contains(cut), qPrintable(dialogs_->warnings[0]));
    QVERIFY(dialogs_->warnings[1].contains(cut));
    Doc().MarkSaved();
    WriteFile("typo.rs",
              "desc( 0, 100, 64 );\r\nline( 0, 0, 0, 99, 63 );\r\n"
              "circel(0,50,32,10);\r\nrect( 0, 10, 10, 20, 8 );\r\n");
    dialogs_->files.push_back(Path("typo.rs"));
    Trigger("ImportRicScript1");
    QCOMPARE(ElementList().Count(), 2);
    QCOMPARE(dialogs_->warnings.size(), 3);
    QCOMPARE(dialogs_->warnings[2], Path("typo.rs") +
                                        ":3:1: 'circel(0,50,32,10);' is not a RicScript "
                                        "statement; the rest of the file was not read");
    WriteFile("clean.ric", "");
    QVERIFY(w_->OpenRicFile(Path("clean.ric")));
    QCOMPARE(dialogs_->warnings.size(), 3);
  }

  // The file size is the file's on disk, zero words and pad bytes included,
  // until the document changes; then it is what a save writes.
  void fileSizeIsTheSizeOnDisk() {
    WriteFile("padded.ric", std::string("\x00\x00"  // a zero size word
                                        "\x0A\x00\x01\x00\x02\x00\x01\x00\x01\x00\x01\x07"
                                        "\x0A\x00\x07\x00\x00\x00\x14\x00\x14\x00\x0A\x00",
                                        26));
    QVERIFY(w_->OpenRicFile(Path("padded.ric")));
    QCOMPARE(Find<QLabel>("Label_FileSize")->text(), QString("26"));
    Click("SpeedButton_RIC_AddCircle");
    QCOMPARE(Find<QLabel>("Label_FileSize")->text(), QString("36"));
  }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
