// The VarMap page driven as a user would: the table's fields and buttons, the
// graph under the mouse, the clipboard import, optimize and the VarMap menu.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "Document.h"
#include "DrawGrid.h"
#include "NxtImage.h"
#include "ParameterFile.h"
#include "RICParameterEdit.h"
#include "ScriptedDialogs.h"
#include "Tavlin_main.h"
#include "VarMapPage.h"

using namespace tavlin;

namespace {

// "0/0 99/63" <-> points.
std::vector<VarMapPoint> Pts(const QString& text) {
  std::vector<VarMapPoint> points;
  for (const QString& item : text.split(' ', Qt::SkipEmptyParts)) {
    const QStringList dr = item.split('/');
    points.push_back({std::uint16_t(dr[0].toUInt()), std::uint16_t(dr[1].toUInt())});
  }
  return points;
}

QString Text(const std::vector<VarMapPoint>& points) {
  QStringList items;
  for (const VarMapPoint& p : points) items << QString("%1/%2").arg(p.Domain).arg(p.Range);
  return items.join(' ');
}

const QColor kRedC(255, 0, 0), kGreyC(128, 128, 128), kBlackC(0, 0, 0), kWhiteC(255, 255, 255);

// How many pixels of the rectangle have exactly this colour.
int CountColour(const QImage& image, const QRect& rect, const QColor& colour) {
  int n = 0;
  for (int y = rect.top(); y <= rect.bottom(); ++y)
    for (int x = rect.left(); x <= rect.right(); ++x)
      if (QColor(image.pixel(x, y)) == colour) ++n;
  return n;
}

}  // namespace

class VarMapPageTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  std::unique_ptr<ScriptedDialogs> dialogs_;
  std::unique_ptr<TForm_Tavlin> w_;
  // The window's document, its elements and preview parameters.
  RICDocument& Doc() { return w_->Document(); }
  RICElementList& ElementList() { return w_->Document().ElementList(); }
  PreviewParameters& Params() { return w_->Document().Parameters(); }
  TVarMapPage* page_ = nullptr;

  template <class T>
  T* Find(const QString& name) {
    return FindChild<T>(w_.get(), name);
  }
  QString Status(int panel) { return Find<QLabel>(QString("StatusPanel%1").arg(panel))->text(); }
  void Click(const QString& button) {
    QTest::mouseClick(Find<QToolButton>(qPrintable(button)), Qt::LeftButton);
  }
  TRICElement& Map() { return *ElementList()[w_->SelectedIndex()]; }
  QSpinBox* Domain(int row) { return page_->SpinEdit_VarMap_Domain[std::size_t(row)]; }
  QSpinBox* Range(int row) { return page_->SpinEdit_VarMap_Range[std::size_t(row)]; }
  QString RowLabel(int row) { return page_->Label_VarMap_DS[std::size_t(row)]->text(); }
  bool Shown(QWidget* widget) { return !widget->isHidden(); }
  QImage Graph() { return page_->Image_VarMap->Picture(); }

  // Adds a VarMap, gives it these points and id, and shows it afresh as
  // selecting it in the list would; the document starts unmodified.
  void ShowMap(const QString& points, std::uint16_t id = 1) {
    Click("SpeedButton_RIC_AddVarMap");
    Doc().MarkSaved();
    Map().Points = Pts(points);
    Map().ID = id;
    w_->SelectElement(w_->SelectedIndex());
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QDir::setCurrent(dir_.path());  // the parameter file written at close lands here
  }

  void init() {
    dialogs_ = std::make_unique<ScriptedDialogs>();
    w_ = StartEditor(*dialogs_);
    page_ = Find<TVarMapPage>("TabSheet_Edit_VarMap");
  }

  void cleanup() {
    Doc().MarkSaved();  // no question when the window goes
    w_.reset();
    QVERIFY2(dialogs_->answers.empty(), "unused answers");
  }

  void pageHasItsNamedControlsInPlace() {
    QCOMPARE(page_->objectName(), QString("TabSheet_Edit_VarMap"));
    QCOMPARE(Find<TNxtImage>("Image_VarMap")->geometry(), QRect(64, 52, 552, 385));
    QCOMPARE(Find<TNxtImage>("Image_VarMap_Range")->geometry(), QRect(0, 52, 61, 385));
    QCOMPARE(Find<TNxtImage>("Image_VarMap_Domain")->geometry(), QRect(64, 440, 553, 29));
    for (int r = 0; r < 6; ++r) {
      const QString n = QString::number(r);
      QLabel* label = Find<QLabel>(qPrintable("Label_VarMap_DS" + n));
      QCOMPARE(label->geometry().topLeft(), QPoint(44, 528 + 25 * r));
      QCOMPARE(Find<QToolButton>(qPrintable("BitBtn_VarMap_Delete" + n))->size(), QSize(22, 22));
      QCOMPARE(Find<QToolButton>(qPrintable("BitBtn_VarMap_Insert" + n))->size(), QSize(22, 22));
      QCOMPARE(Find<QSpinBox>(qPrintable("SpinEdit_VarMap_Range" + n))->maximum(), 65535);
    }
    QCOMPARE(Find<QLabel>("Label_VarMap_ID")->text(), QString("VarMap ID"));
    QCOMPARE(Find<QLabel>("Label_VarMap_Domain")->text(), QString("Domain"));
    QCOMPARE(Find<QLabel>("Label_VarMap_Range")->text(), QString("Range"));
    QSpinBox* id = Find<QSpinBox>("SpinEdit_VarMap_ID");
    QCOMPARE(id->minimum(), 1);
    QCOMPARE(id->maximum(), 10);
    QCOMPARE(id->toolTip(), QString("Set the ID for the sprite"));
    QCOMPARE(Find<QScrollBar>("ScrollBar_VarMap")->pageStep(), 6);
    QCOMPARE(Find<QToolButton>("SpeedButton_VarMap_Import")->toolTip(),
             QString("Import VarMap values from clipboard"));
    QCOMPARE(Find<QToolButton>("SpeedButton_VarMap_DeleteEntries")->toolTip(),
             QString("Delete all VarMap entries"));
    QCOMPARE(Find<QToolButton>("SpeedButton_VarMap_Optimize")->toolTip(),
             QString("Optimize VarMap list"));
    // The Edit > "VarMap" menu holds the page's four entries, in order.
    QStringList texts, names;
    for (QAction* a : Find<QMenu>("Menu_Edit_VarMap")->actions()) {
      texts << a->text();
      names << a->objectName();
    }
    QCOMPARE(texts, QStringList({"Delete list", "Import domain/range list",
                                 "Export domain/range list", "Optimize VarMap list"}));
    QCOMPARE(names, QStringList({"VarMap_DeleteList", "Menu_VarMap_Import", "Menu_VarMap_Export",
                                 "Menue_VarMap_Optimize"}));
  }

  void newVarMapShowsTwoRowsWithoutDeleteButtons() {
    Click("SpeedButton_RIC_AddVarMap");
    QCOMPARE(Find<QStackedWidget>("PageControl_Edit")->currentWidget(), page_);
    QCOMPARE(page_->SpinEdit_VarMap_ID->value(), 1);
    QCOMPARE(RowLabel(0), QString("0"));
    QCOMPARE(Domain(0)->value(), 0);
    QCOMPARE(Range(0)->value(), 0);
    QCOMPARE(RowLabel(1), QString("1"));
    QCOMPARE(Domain(1)->value(), 99);
    QCOMPARE(Range(1)->value(), 63);
    // The first domain lies below the second's, the last up to 255.
    QCOMPARE(Domain(0)->maximum(), 98);
    QCOMPARE(Domain(1)->minimum(), 1);
    QCOMPARE(Domain(1)->maximum(), 255);
    for (int r = 2; r < 6; ++r) {
      QCOMPARE(RowLabel(r), QString());
      QVERIFY(!Shown(Domain(r)));
      QVERIFY(!Shown(Range(r)));
      QVERIFY(!Shown(page_->BitBtn_VarMap_Insert[std::size_t(r)]));
    }
    QVERIFY(!Shown(page_->ScrollBar_VarMap));
    for (QToolButton* b : page_->BitBtn_VarMap_Delete) QVERIFY(!Shown(b));
    QVERIFY(Shown(page_->BitBtn_VarMap_Insert[0]));
    QVERIFY(Shown(page_->BitBtn_VarMap_Insert[1]));
    QCOMPARE(page_->GraphScale(), 360.0 / 63);
  }

  void fillingNeverMarksModifiedNorChangesTheMap() {
    // Seven points (scroll bar) and an id the field cannot show.
    ShowMap("0/0 10/5 20/9 30/70 40/3 50/2 60/1", 12);
    QVERIFY(!w_->Modified());
    QCOMPARE(Status(7), QString());
    QCOMPARE(Text(Map().Points), QString("0/0 10/5 20/9 30/70 40/3 50/2 60/1"));
    QCOMPARE(page_->SpinEdit_VarMap_ID->value(), 12);
    QCOMPARE(int(Map().ID), 12);
    // Scrolling refills the rows and changes nothing.
    page_->ScrollBar_VarMap->setValue(1);
    QCOMPARE(RowLabel(0), QString("1"));
    QCOMPARE(Domain(5)->value(), 60);
    QVERIFY(!w_->Modified());
    QCOMPARE(int(Map().ID), 12);
    // Showing a second VarMap starts at the top again.
    ShowMap("0/0 99/63");
    QVERIFY(!w_->Modified());
    QCOMPARE(page_->ScrollBar_VarMap->value(), 0);
    // Selecting the first one in the element list, as the user does.
    Click("SpeedButton_RIC_AddLine");
    Doc().MarkSaved();
    TDrawGrid* grid = Find<TDrawGrid>("DrawGrid_RIC");
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(1, 1).center());
    QCOMPARE(Find<QStackedWidget>("PageControl_Edit")->currentWidget(), page_);
    QCOMPARE(RowLabel(5), QString("5"));
    QVERIFY(Shown(page_->ScrollBar_VarMap));
    QVERIFY(!w_->Modified());
    QCOMPARE(Status(7), QString());
    QCOMPARE(int(ElementList()[0]->ID), 12);
    QCOMPARE(Text(ElementList()[0]->Points), QString("0/0 10/5 20/9 30/70 40/3 50/2 60/1"));
  }

  void editingAFieldWritesThePointAndMarksModified() {
    ShowMap("0/0 10/40 20/100");
    const QString fileSize = Find<QLabel>("Label_FileSize")->text();
    // Typing a new range into the second row.
    Range(1)->selectAll();
    QTest::keyClicks(Range(1), "200");
    QCOMPARE(Text(Map().Points), QString("0/0 10/200 20/100"));
    QVERIFY(w_->Modified());
    QCOMPARE(Status(7), QString("modified"));
    QCOMPARE(page_->GraphScale(), 360.0 / 200);  // the graph was drawn anew
    QCOMPARE(Find<QLabel>("Label_FileSize")->text(), fileSize);
    // A domain stays between its neighbours'.
    QCOMPARE(Domain(1)->minimum(), 1);
    QCOMPARE(Domain(1)->maximum(), 19);
    Domain(1)->setValue(50);
    QCOMPARE(Text(Map().Points), QString("0/0 19/200 20/100"));
    QVERIFY(!Shown(page_->BitBtn_VarMap_Insert[1]));  // no room after 19
    // The id field writes the id.
    page_->SpinEdit_VarMap_ID->setValue(3);
    QCOMPARE(int(Map().ID), 3);
  }

  void valuesAFileBroughtStayUntilTheirFieldIsEdited() {
    // A loaded file may bring an id beyond 1..10 and domains beyond 255.
    ShowMap("0/0 300/5 400/6", 0);
    QCOMPARE(page_->SpinEdit_VarMap_ID->value(), 0);
    QCOMPARE(Domain(1)->value(), 300);
    Range(0)->setValue(1);
    QCOMPARE(Text(Map().Points), QString("0/1 300/5 400/6"));
    QCOMPARE(int(Map().ID), 0);
    page_->SpinEdit_VarMap_ID->setValue(12);  // the edited id is held to 1..10
    QCOMPARE(int(Map().ID), 10);
    Click("BitBtn_VarMap_Delete1");  // deletes the row's own point
    QCOMPARE(Text(Map().Points), QString("0/1 400/6"));
    Domain(1)->setValue(200);  // an edit of the field itself writes it
    QCOMPARE(Text(Map().Points), QString("0/1 200/6"));
    // Points out of order stay in the order they came.
    ShowMap("10/5 20/7 10/5 40/9");
    QCOMPARE(Domain(2)->value(), 10);
    Range(3)->setValue(8);
    QCOMPARE(Text(Map().Points), QString("10/5 20/7 10/5 40/8"));
  }

  void sevenPointsScrollAndDeletingOneHidesTheScrollBar() {
    ShowMap("0/0 10/5 20/9 30/70 40/3 50/2 60/1");
    QVERIFY(Shown(page_->ScrollBar_VarMap));
    QCOMPARE(page_->ScrollBar_VarMap->maximum(), 1);
    page_->ScrollBar_VarMap->setValue(1);
    QCOMPARE(RowLabel(0), QString("1"));
    QCOMPARE(Domain(0)->value(), 10);
    Click("BitBtn_VarMap_Delete0");  // the point shown first: (10, 5)
    QCOMPARE(Text(Map().Points), QString("0/0 20/9 30/70 40/3 50/2 60/1"));
    QVERIFY(!Shown(page_->ScrollBar_VarMap));
    QCOMPARE(page_->ScrollBar_VarMap->value(), 0);
    QCOMPARE(RowLabel(0), QString("0"));
    QCOMPARE(RowLabel(5), QString("5"));
    QVERIFY(w_->Modified());
    QCOMPARE(Find<QLabel>("Label_FileSize")->text(), QString::number(8 + 4 * 6));
  }

  void insertAddsThePointAfterItsRowWhenThereIsRoom() {
    ShowMap("0/0 10/40 12/50 99/63");
    QVERIFY(Shown(page_->BitBtn_VarMap_Insert[1]));
    Click("BitBtn_VarMap_Insert1");
    QCOMPARE(Text(Map().Points), QString("0/0 10/40 11/40 12/50 99/63"));
    QVERIFY(w_->Modified());
    // Now 11 follows 10, and 12 follows 11: no room after either.
    QVERIFY(!Shown(page_->BitBtn_VarMap_Insert[1]));
    QVERIFY(!Shown(page_->BitBtn_VarMap_Insert[2]));
    QVERIFY(Shown(page_->BitBtn_VarMap_Insert[3]));
    // A last point at 255 has no room after it.
    ShowMap("0/0 255/1");
    QVERIFY(Shown(page_->BitBtn_VarMap_Insert[0]));
    QVERIFY(!Shown(page_->BitBtn_VarMap_Insert[1]));
  }

  void deletingNeverLeavesFewerThanTwoPoints() {
    ShowMap("0/0 50/20 99/63");
    for (int r = 0; r < 3; ++r) QVERIFY(Shown(page_->BitBtn_VarMap_Delete[std::size_t(r)]));
    Click("BitBtn_VarMap_Delete1");
    QCOMPARE(Text(Map().Points), QString("0/0 99/63"));
    for (QToolButton* b : page_->BitBtn_VarMap_Delete) QVERIFY(!Shown(b));
    // A right-click on a point of a two-point map sets its range to 0 instead.
    TNxtImage* graph = page_->Image_VarMap;
    QTest::mouseClick(graph, Qt::RightButton, {}, QPoint(page_->GraphX(99), page_->GraphY(63)));
    QCOMPARE(Text(Map().Points), QString("0/0 99/0"));
    // With three points an exact right-click deletes; a miss changes nothing.
    ShowMap("0/0 50/36 99/63");
    QTest::mouseClick(graph, Qt::RightButton, {}, QPoint(page_->GraphX(50), page_->GraphY(20)));
    QCOMPARE(Text(Map().Points), QString("0/0 50/36 99/63"));
    QTest::mouseClick(graph, Qt::RightButton, {}, QPoint(page_->GraphX(50), page_->GraphY(36)));
    QCOMPARE(Text(Map().Points), QString("0/0 99/63"));
  }

  void leftClickOnTheGraphSetsOrInsertsAPoint() {
    ShowMap("0/0 99/63");
    TNxtImage* graph = page_->Image_VarMap;
    // Between the points: domain (120 - 20) / 2 = 50, range 180 / (360 / 63) = 31.5,
    // the smallest whole range drawn at that row: 32.
    QTest::mouseClick(graph, Qt::LeftButton, {}, QPoint(120, 190));
    QCOMPARE(Text(Map().Points), QString("0/0 50/32 99/63"));
    QCOMPARE(Status(1), QString("50"));
    QCOMPARE(Status(2), QString("32"));
    QVERIFY(w_->Modified());
    QCOMPARE(RowLabel(2), QString("2"));
    QCOMPARE(Domain(1)->value(), 50);
    // At the x of an existing domain only its range changes (an odd x rounds down).
    QTest::mouseClick(graph, Qt::LeftButton, {}, QPoint(219, 280));
    QCOMPARE(Text(Map().Points), QString("0/0 50/32 99/16"));
    // Off the left end and below the axis: domain 0, range 0.
    QTest::mouseClick(graph, Qt::LeftButton, {}, QPoint(3, 380));
    QCOMPARE(Text(Map().Points), QString("0/0 50/32 99/16"));
    // Every range is hit where it is drawn: (50, 36) at scale 360 / 63.
    ShowMap("0/0 50/36 99/63");
    QTest::mouseClick(graph, Qt::LeftButton, {}, QPoint(page_->GraphX(50), page_->GraphY(36)));
    QCOMPARE(Text(Map().Points), QString("0/0 50/36 99/63"));
    QCOMPARE(Status(2), QString("36"));
    // The largest range drawn at y 10 converts back to itself.
    ShowMap("0/0 99/63");
    QTest::mouseClick(graph, Qt::LeftButton, {}, QPoint(page_->GraphX(99), 10));
    QCOMPARE(Text(Map().Points), QString("0/0 99/63"));
  }

  void mouseMoveDrawsTheCrossHairOnly() {
    ShowMap("0/0 99/63");
    const int mx = page_->GraphX(50), my = page_->GraphY(31);
    const QRect column(mx, 1, 1, 383), row(1, my, 550, 1);
    QCOMPARE(CountColour(Graph(), column, kBlackC), 0);
    QTest::mouseMove(page_->Image_VarMap, QPoint(mx, my));
    QCOMPARE(Status(1), QString("50"));
    QCOMPARE(Status(2), QString("31"));
    QVERIFY(!w_->Modified());
    QCOMPARE(Text(Map().Points), QString("0/0 99/63"));
    // Dotted: about every other pixel of the cross-hair is black.
    const int inColumn = CountColour(Graph(), column, kBlackC);
    const int inRow = CountColour(Graph(), row, kBlackC);
    QVERIFY2(inColumn > 100 && inColumn < 300, qPrintable(QString::number(inColumn)));
    QVERIFY2(inRow > 150 && inRow < 450, qPrintable(QString::number(inRow)));
    // Over a point: the point is ringed and its labels turn red.
    QTest::mouseMove(page_->Image_VarMap, QPoint(page_->GraphX(99), page_->GraphY(63)));
    QCOMPARE(QColor(Graph().pixel(page_->GraphX(99) + 2, page_->GraphY(63) + 2)), kWhiteC);
    QVERIFY(CountColour(Graph(), QRect(page_->GraphX(99) - 6, page_->GraphY(63) - 6, 13, 13),
                        kBlackC) > 20);
    QVERIFY(CountColour(page_->Image_VarMap_Domain->Picture(),
                        QRect(page_->GraphX(99) - 12, 14, 25, 15), kRedC) > 0);
    QVERIFY(CountColour(page_->Image_VarMap_Range->Picture(), QRect(0, 0, 32, 30), kRedC) > 0);
    QVERIFY(!w_->Modified());
  }

  void graphLabelsNeverOverlap() {
    // 64 points four domains apart, the ranges rising in small and large steps.
    QStringList points;
    for (int i = 0; i < 64; ++i) points << QString("%1/%2").arg(4 * i).arg(i * i * 7 % 1000);
    ShowMap(points.join(' '));
    QTest::mouseMove(page_->Image_VarMap, QPoint(page_->GraphX(12), 100));
    for (const std::vector<QRect>* boxes :
         {&page_->DomainLabelBoxes(), &page_->RangeLabelBoxes()}) {
      QVERIFY(boxes->size() > 5);
      for (std::size_t i = 0; i < boxes->size(); ++i)
        for (std::size_t j = i + 1; j < boxes->size(); ++j)
          QVERIFY(!(*boxes)[i].intersects((*boxes)[j]));
    }
    // The first and last domains are always labelled, and so is the marked one.
    for (int domain : {0, 252, 12}) {
      const int x = page_->GraphX(domain);
      QVERIFY(std::any_of(page_->DomainLabelBoxes().begin(), page_->DomainLabelBoxes().end(),
                          [x](const QRect& r) { return r.left() <= x && x <= r.right(); }));
    }
  }

  void graphPixelsOfTheDefaultMap() {
    ShowMap("0/0 99/63");
    const QImage g = Graph();
    QCOMPARE(g.size(), QSize(552, 385));
    // Black outline, white inside.
    for (QPoint p :
         {QPoint(0, 0), QPoint(551, 0), QPoint(0, 384), QPoint(551, 384), QPoint(300, 0)})
      QCOMPARE(QColor(g.pixel(p)), kBlackC);
    QCOMPARE(QColor(g.pixel(400, 300)), kWhiteC);
    // Red: flat from the left edge to (20, 370), up to (218, 10), flat to the right edge.
    for (QPoint p : {QPoint(5, 370), QPoint(20, 370), QPoint(119, 190), QPoint(218, 10),
                     QPoint(400, 10), QPoint(549, 10)})
      QCOMPARE(QColor(g.pixel(p)), kRedC);
    // Grey drop lines of (99, 63): down from the point and across to the left edge.
    QCOMPARE(QColor(g.pixel(218, 200)), kGreyC);
    QCOMPARE(QColor(g.pixel(218, 383)), kGreyC);
    QCOMPARE(QColor(g.pixel(100, 10)), kGreyC);
    QCOMPARE(QColor(g.pixel(1, 10)), kGreyC);
    QCOMPARE(QColor(g.pixel(100, 11)), kWhiteC);
    // Labels: "99" under x 218, "63" right-aligned to 50 at y 4.
    const QImage domain = page_->Image_VarMap_Domain->Picture();
    QVERIFY(CountColour(domain, QRect(206, 0, 25, 14), kBlackC) > 0);
    QCOMPARE(CountColour(domain, QRect(0, 14, 553, 15), kRedC), 0);
    const QImage range = page_->Image_VarMap_Range->Picture();
    QVERIFY(CountColour(range, QRect(30, 2, 21, 16), kBlackC) > 0);
    QCOMPARE(CountColour(range, QRect(51, 0, 10, 385), kBlackC), 0);
  }

  void graphPixelsOfAMapStartingHigh() {
    // Scale 360 / 60 = 6: range 40 at y 130, 60 at y 10.
    ShowMap("10/40 20/60");
    const QImage g = Graph();
    QCOMPARE(page_->GraphScale(), 6.0);
    QCOMPARE(QColor(g.pixel(5, 130)), kRedC);
    QCOMPARE(QColor(g.pixel(40, 130)), kRedC);
    QCOMPARE(QColor(g.pixel(60, 10)), kRedC);
    QCOMPARE(QColor(g.pixel(500, 10)), kRedC);
    QCOMPARE(QColor(g.pixel(5, 300)), kWhiteC);
    QCOMPARE(QColor(g.pixel(40, 300)), kGreyC);  // drop line of (10, 40)
  }

  void clipboardImport_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("points");  // the map afterwards
    QTest::addColumn<QString>("notice");  // "" when none
    const QString before = "0/0 99/63";
    QTest::newRow("two pairs") << "0 0 255 1000"
                               << "0/0 255/1000"
                               << "";
    QTest::newRow("odd count") << "10,20;30" << before
                               << "Clipboard do not contain a odd count of numbers!";
    QTest::newRow("one pair") << "5 6" << before << "Clipboard do not contain minimum of 4 values!";
    QTest::newRow("no digits") << "abc" << before << "Clipboard do not contain values";
    QTest::newRow("empty") << "" << before << "Clipboard do not contain values";
    QTest::newRow("same domain, later wins") << "0 0 50 10 50 20 100 30"
                                             << "0/0 50/20 100/30"
                                             << "";
    QTest::newRow("signs and dots separate") << "-5 6\r\n1.5"
                                             << "1/5 5/6"
                                             << "";
    QTest::newRow("all pairs one domain")
        << "5 1 5 2" << before << "Clipboard do not contain minimum of 4 values!";
    QTest::newRow("large values limited") << "0 70000 300 5"
                                          << "0/65535 255/5"
                                          << "";
    QTest::newRow("beyond 32 bits") << "0 99999999999999999999 1 2"
                                    << "0/65535 1/2"
                                    << "";
  }

  void clipboardImport() {
    QFETCH(QString, text);
    QFETCH(QString, points);
    QFETCH(QString, notice);
    ShowMap("0/0 99/63");
    QGuiApplication::clipboard()->setText(text);
    Click("SpeedButton_VarMap_Import");
    QCOMPARE(Text(Map().Points), points);
    if (notice.isEmpty()) {
      QCOMPARE(dialogs_->notices, QStringList());
      QVERIFY(w_->Modified());
      const std::vector<VarMapPoint> expected = Pts(points);
      QCOMPARE(Domain(1)->value(), int(expected[1].Domain));
      QCOMPARE(Range(1)->value(), int(expected[1].Range));
    } else {
      QCOMPARE(dialogs_->notices, QStringList({notice}));
      QVERIFY(!w_->Modified());
    }
  }

  void menuImportReadsTheClipboardToo() {
    ShowMap("0/0 99/63");
    QGuiApplication::clipboard()->setText("1\t2\n3\t4\n5\t6\n7\t8\n9\t10\n11\t12\n13\t14\n");
    page_->Menu_VarMap_Import->trigger();
    QCOMPARE(Text(Map().Points), QString("1/2 3/4 5/6 7/8 9/10 11/12 13/14"));
    QVERIFY(Shown(page_->ScrollBar_VarMap));
    QCOMPARE(Find<QLabel>("Label_FileSize")->text(), QString::number(8 + 4 * 7));
  }

  void optimize() {
    // What optimizing keeps is the base's to test; the page shows and marks it.
    ShowMap("0/5 50/5 100/10");
    Click("SpeedButton_VarMap_Optimize");
    QCOMPARE(Text(Map().Points), QString("50/5 100/10"));
    QVERIFY(w_->Modified());
    QCOMPARE(RowLabel(0), QString("0"));
    QCOMPARE(Domain(0)->value(), 50);
  }

  void deleteAllEntriesLeavesTheTwoDefaultPoints() {
    ShowMap("0/0 10/5 20/9 30/70 40/3 50/2 60/1");
    page_->ScrollBar_VarMap->setValue(1);
    Click("SpeedButton_VarMap_DeleteEntries");  // no question asked
    QCOMPARE(Text(Map().Points), QString("0/0 99/63"));
    QVERIFY(w_->Modified());
    QVERIFY(!Shown(page_->ScrollBar_VarMap));
    QCOMPARE(RowLabel(1), QString("1"));
    QCOMPARE(Range(1)->value(), 63);
    ShowMap("5/5 6/6 7/7");
    page_->VarMap_DeleteList->trigger();
    QCOMPARE(Text(Map().Points), QString("0/0 99/63"));
    QVERIFY(dialogs_->questions.isEmpty());
  }

  void exportIsNotDefinedYet() {
    ShowMap("0/0 50/20 99/63");
    page_->Menu_VarMap_Export->trigger();
    QCOMPARE(dialogs_->notices, QStringList({"VarMap export - not yet defined"}));
    QCOMPARE(Text(Map().Points), QString("0/0 50/20 99/63"));
    QVERIFY(!w_->Modified());
  }

  void commandsDoNothingWithoutASelectedVarMap() {
    ShowMap("0/0 50/20 99/63");
    Click("SpeedButton_RIC_AddLine");
    Doc().MarkSaved();
    QGuiApplication::clipboard()->setText("1 2 3 4");
    for (QAction* a :
         {page_->VarMap_DeleteList, page_->Menu_VarMap_Import, page_->Menue_VarMap_Optimize})
      a->trigger();
    page_->Image_VarMapMouseDown(100, 100, Qt::LeftButton);
    page_->Image_VarMapMouseMove(100, 100);
    QCOMPARE(Text(ElementList()[0]->Points), QString("0/0 50/20 99/63"));
    QVERIFY(!w_->Modified());
    QVERIFY(dialogs_->notices.isEmpty());
  }

  void aMapOfOnePointFromAFileStaysUsable() {
    ShowMap("40/7");
    QCOMPARE(RowLabel(0), QString("0"));
    QVERIFY(!Shown(Domain(1)));
    QVERIFY(!Shown(page_->BitBtn_VarMap_Delete[0]));
    Click("SpeedButton_VarMap_Optimize");
    QCOMPARE(Text(Map().Points), QString("40/7"));
    QTest::mouseClick(page_->Image_VarMap, Qt::RightButton, {},
                      QPoint(page_->GraphX(40), page_->GraphY(7)));
    QCOMPARE(Text(Map().Points), QString("40/0"));
    Click("BitBtn_VarMap_Insert0");
    QCOMPARE(Text(Map().Points), QString("40/0 41/0"));
  }
};

QTEST_MAIN(VarMapPageTest)
#include "varmappage_test.moc"
