// The Ellipse and Polygon pages driven as a user would: added from the menu,
// placed and edited with the mouse and the point table, undone, saved.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "Document.h"
#include "ElementIcons.h"
#include "FileIO.h"
#include "NxtImage.h"
#include "PolygonPage.h"
#include "RICParameterEdit.h"
#include "RicFile.h"
#include "ScriptedDialogs.h"
#include "Tavlin_main.h"

using namespace tavlin;

namespace {

// Mouse position over NXT point (x, y) on a page picture at the default zoom.
QPoint OnScreen(int x, int y) { return QPoint(1 + 6 * x + 3, 1 + 6 * (63 - y) + 3); }

bool HasInk(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) > 0) return true;
  return false;
}

using Points = std::vector<std::pair<int, int>>;
Points PointsOf(const TRICElement& e) {
  Points points;
  for (const PolygonPoint& p : e.PolygonPoints) points.emplace_back(p.X, p.Y);
  return points;
}

}  // namespace

class EllipsePolygonTest : public QObject {
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
  TPolygonPage* page_ = nullptr;

  void Trigger(const char* name) {
    auto* action = w_->findChild<QAction*>(name);
    QVERIFY2(action, name);
    action->trigger();
  }
  void Press(TNxtImage* image, Qt::MouseButton button, int x, int y) {
    QTest::mousePress(image, button, {}, OnScreen(x, y));
    QTest::mouseRelease(image, button, {}, OnScreen(x, y));
  }
  void Drag(TNxtImage* image, QPoint from, QPoint to) {
    QTest::mousePress(image, Qt::LeftButton, {}, OnScreen(from.x(), from.y()));
    QTest::mouseMove(image, OnScreen((from.x() + to.x()) / 2, (from.y() + to.y()) / 2));
    QTest::mouseMove(image, OnScreen(to.x(), to.y()));
    QTest::mouseRelease(image, Qt::LeftButton, {}, OnScreen(to.x(), to.y()));
  }
  bool BlackAt(TNxtImage* image, int x, int y) {
    w_->FlushRefresh();
    return QColor(image->Picture().pixel(OnScreen(x, y))) == QColor(Qt::black);
  }
  std::vector<std::uint8_t> Saved(const QString& name) {
    dialogs_->files.push_back(dir_.filePath(name));
    if (!w_->SaveDocumentAs()) return {};
    return ReadFileBytes(dir_.filePath(name).toStdString(), 1 << 20);
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    qputenv("XDG_CONFIG_HOME", dir_.filePath("config").toLocal8Bit());
  }
  void init() {
    dialogs_ = std::make_unique<ScriptedDialogs>();
    w_ = StartEditor(*dialogs_);
    page_ = Find<TPolygonPage>("TabSheet_Edit_Polygon");
  }
  void cleanup() {
    Doc().MarkSaved();
    w_.reset();
    QVERIFY(dialogs_->files.empty());
  }

  void bothKindsComeFromTheMenuAndTheButtonsAndSaveAsTheBrickReadsThem() {
    Trigger("Menu_Edit_ElementList_Add_Ellipse");
    QCOMPARE(Find<QStackedWidget>("PageControl_Edit")->currentWidget(),
             w_->findChild<QWidget*>("TabSheet_Edit_Ellipse"));
    QVERIFY(BlackAt(w_->findChild<TNxtImage*>("Image_Ellipse"), 50,
                    30));  // the right end of the default ellipse
    Trigger("Menu_Edit_ElementList_Add_Polygon");
    QCOMPARE(Find<QStackedWidget>("PageControl_Edit")->currentWidget(),
             static_cast<QWidget*>(page_));
    QVERIFY(BlackAt(page_->Image_Polygon, 25, 10));  // on its first side
    QTest::mouseClick(w_->findChild<QToolButton*>("SpeedButton_RIC_AddEllipse"), Qt::LeftButton);
    QTest::mouseClick(w_->findChild<QToolButton*>("SpeedButton_RIC_AddPolygon"), Qt::LeftButton);
    // Every kind has a picture in the list and on its button.
    for (int kind = 0; kind < kElementKindCount; ++kind)
      QVERIFY2(HasInk(ElementIcon(RICElementKind(kind)).toImage()), KindName(RICElementKind(kind)));
    // Size word, opcode, then the argument words; the polygon's count before its points.
    const std::vector<std::uint8_t> ellipse = {12, 0, 9, 0, 0, 0, 30, 0, 30, 0, 20, 0, 10, 0};
    const std::vector<std::uint8_t> polygon = {18, 0, 10, 0, 0,  0, 3,  0, 10, 0,
                                               10, 0, 40, 0, 10, 0, 25, 0, 40, 0};
    std::vector<std::uint8_t> expected;
    for (const auto* bytes : {&ellipse, &polygon, &ellipse, &polygon})
      expected.insert(expected.end(), bytes->begin(), bytes->end());
    QVERIFY(Saved("kinds.ric") == expected);
  }

  void ellipsePressSetsTheCentreAndDragTheRadii() {
    Trigger("Menu_Edit_ElementList_Add_Ellipse");
    const std::size_t steps = Doc().UndoCount();
    Drag(w_->findChild<TNxtImage*>("Image_Ellipse"), {50, 32}, {38, 36});
    const TRICElement& e = *ElementList()[0];
    QCOMPARE(QList<int>({e.PosX, e.PosY, e.RadiusX, e.RadiusY}), QList<int>({50, 32, 12, 4}));
    QCOMPARE(Doc().UndoCount(), steps + 1);
    QVERIFY(BlackAt(w_->findChild<TNxtImage*>("Image_Ellipse"), 62, 32));
    QVERIFY(!BlackAt(w_->findChild<TNxtImage*>("Image_Ellipse"), 50, 32));
    // Typing a radius redraws the page.
    w_->findChild<TRICParameterEdit*>("RICParameterEdit_Ellipse_RadiusY")
        ->ConstantEdit->setValue(9);
    QCOMPARE(int(e.RadiusY), 9);
    QVERIFY(BlackAt(w_->findChild<TNxtImage*>("Image_Ellipse"), 50, 41));
  }

  void polygonPointsByMouse() {
    Trigger("Menu_Edit_ElementList_Add_Polygon");
    TNxtImage* image = page_->Image_Polygon;
    const TRICElement& e = *ElementList()[0];
    // A click off the points adds one after the selected (the last) point.
    Press(image, Qt::LeftButton, 60, 50);
    QCOMPARE(PointsOf(e), Points({{10, 10}, {40, 10}, {25, 40}, {60, 50}}));
    QCOMPARE(page_->SelectedPoint(), 3);
    QVERIFY(BlackAt(image, 60, 50));
    // Dragging a point (grabbed a pixel off) moves it; the document is drawn
    // once per pass, and the drag is one step.
    const std::vector<std::uint8_t> before = EncodeRic(ElementList());
    const std::size_t steps = Doc().UndoCount();
    QTest::mousePress(image, Qt::LeftButton, {}, OnScreen(41, 11));
    QCoreApplication::processEvents();
    const int renders = w_->DocumentRenders();
    QTest::mouseMove(image, OnScreen(55, 15));
    QTest::mouseMove(image, OnScreen(70, 20));
    QCOMPARE(w_->DocumentRenders(), renders);
    QCoreApplication::processEvents();
    QCOMPARE(w_->DocumentRenders(), renders + 1);
    QTest::mouseRelease(image, Qt::LeftButton, {}, OnScreen(70, 20));
    QCOMPARE(PointsOf(e), Points({{10, 10}, {70, 20}, {25, 40}, {60, 50}}));
    QCOMPARE(Doc().UndoCount(), steps + 1);
    QCOMPARE(QString::fromStdString(Doc().UndoName()), QString("Move Point"));
    w_->UndoStep();
    QVERIFY(EncodeRic(ElementList()) == before);
    QCOMPARE(int(page_->RICParameterEdit_Polygon_X[1]->Value()), 40);
    w_->RedoStep();
    // A right click removes a point, but a polygon keeps three.
    Press(image, Qt::RightButton, 70, 20);
    QCOMPARE(PointsOf(e), Points({{10, 10}, {25, 40}, {60, 50}}));
    Press(image, Qt::RightButton, 10, 10);
    QCOMPARE(e.PolygonPoints.size(), std::size_t(3));
    QVERIFY(!page_->Button_Polygon_RemovePoint->isEnabled());
    QVERIFY(Saved("mouse.ric") == std::vector<std::uint8_t>({18, 0, 10, 0, 0,  0, 3,  0, 10, 0,
                                                             10, 0, 25, 0, 40, 0, 60, 0, 50, 0}));
  }

  void polygonPointsByTheTable() {
    Trigger("Menu_Edit_ElementList_Add_Polygon");
    const TRICElement& e = *ElementList()[0];
    // Typing a coordinate writes it; the parameter button makes it a reference.
    page_->RICParameterEdit_Polygon_X[0]->ConstantEdit->setValue(25);
    QTest::mouseClick(page_->RICParameterEdit_Polygon_Y[2]->ParameterButton, Qt::LeftButton);
    QCOMPARE(PointsOf(e), Points({{25, 10}, {40, 10}, {25, 0xF000}}));
    QCOMPARE(QString::fromStdString(Doc().UndoName()), QString("Change Point 3 Y"));
    // The copy options' choices write the polygon's word.
    page_->findChild<QCheckBox*>("PolylineChoice")->click();
    QCOMPARE(int(e.CopyOpt), 0x400);
    // Add puts a point halfway to the next one after the selected row's point.
    QTest::mouseClick(page_->Button_Polygon_Row[0], Qt::LeftButton);
    page_->Button_Polygon_AddPoint->click();
    QCOMPARE(PointsOf(e), Points({{25, 10}, {32, 10}, {40, 10}, {25, 0xF000}}));
    // Past four points the table scrolls to the selected one.
    for (int i = 0; i < 3; ++i) page_->Button_Polygon_AddPoint->click();
    QVERIFY(!page_->ScrollBar_Polygon->isHidden());
    const int row = page_->SelectedPoint() - page_->ScrollBar_Polygon->value();
    QVERIFY(row >= 0 && row < TPolygonPage::kRows);
    QCOMPARE(page_->Button_Polygon_Row[std::size_t(row)]->text(),
             QString::number(page_->SelectedPoint() + 1));
    page_->ScrollBar_Polygon->setValue(page_->ScrollBar_Polygon->maximum());
    QCOMPARE(page_->RICParameterEdit_Polygon_Y[TPolygonPage::kRows - 1]->Value(),
             RICArgument(0xF000));  // the last point's reference
    // Remove takes the selected point out; undo puts it back.
    QTest::mouseClick(page_->Button_Polygon_Row[TPolygonPage::kRows - 1], Qt::LeftButton);
    page_->Button_Polygon_RemovePoint->click();
    QCOMPARE(PointsOf(e).back(), std::make_pair(40, 10));
    w_->UndoStep();
    QCOMPARE(e.PolygonPoints.size(), std::size_t(7));
  }
};

QTEST_MAIN(EllipsePolygonTest)
#include "ellipsepolygon_test.moc"
