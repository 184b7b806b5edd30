// The CopyBits page: its source and destination views pixel by pixel, the
// scroll ranges, the mouse selection and placement, "Adapt parameters to
// sprite" and the placeholder for a missing sprite.
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <memory>

#include "CopyBitsPage.h"
#include "Document.h"
#include "NxtImage.h"
#include "ParameterFile.h"
#include "RICParameterEdit.h"
#include "ScriptedDialogs.h"
#include "Tavlin_main.h"

using namespace tavlin;

namespace {

const QRgb kRed = 0xFFFF0000;
const QRgb kBlackPixel = 0xFF000000;
const QRgb kWhitePixel = 0xFFFFFFFF;
const QRgb kLightGrid = 0xFFCFCFCF;
const QRgb kDarkGrid = 0xFFA0A0A0;

// Centre of view cell (c, r), r counted from the bottom: a pixel the grid
// does not cover.
QPoint Cell(int c, int r) { return QPoint(4 * c + 3, 255 - 4 * r); }

// Appends a sprite whose used area is w x h at canvas (left, top), white,
// with the given sprite points (x from the left, y up from the bottom) black.
int AddSprite(RICElementList& list, int id, int left, int top, int w, int h,
              std::initializer_list<QPoint> black = {}) {
  int i = NewSprite(list, std::uint16_t(id));
  TRICElement& s = *list[i];
  s.UsedArea = TRect{left, top, left + w - 1, top + h - 1};
  s.Canvas.FillRect(left, top, left + w - 1, top + h - 1, kWhite);
  for (QPoint p : black) s.Canvas.SetPixel(left + p.x(), top + h - 1 - p.y(), kBlack);
  return i;
}

}  // namespace

class CopyBitsPageTest : public QObject {
  Q_OBJECT

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
  TCopyBitsPage* page_ = nullptr;

  QRgb Face() const { return page_->palette().color(QPalette::Button).rgb(); }
  QRgb Src(QPoint p) const { return page_->Image_CopyBits_Source->Picture().pixel(p); }
  QRgb Dst(QPoint p) const { return page_->Image_CopyBits_Destination->Picture().pixel(p); }
  TRICElement& Selected() const { return *w_->SelectedElement(); }

  void Select(int index) {
    w_->SelectElement(index);
    w_->RefreshDocumentView();
    w_->ShowElement(index);
  }
  // A CopyBits at the end of the document, selected.
  int AddCopyBits(int spriteId, int px, int py, int width, int height, int rx = 0, int ry = 0) {
    int i = NewCopyBits(ElementList(), 0, RICArgument(spriteId), RICArgument(px), RICArgument(py),
                        RICArgument(width), RICArgument(height), RICArgument(rx), RICArgument(ry));
    Select(i);
    return i;
  }
  // The text the axis images show for `value` at the given box, drawn the
  // way a label of that image is drawn.
  QImage NumberBox(int value, int width, int height, Qt::Alignment alignment) const {
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(Face());
    QPainter p(&img);
    p.setFont(page_->font());
    p.setPen(page_->palette().color(QPalette::ButtonText));
    p.drawText(QRect(0, 0, width, height), alignment, QString::number(value));
    return img;
  }
  // Replaces the text of an argument control's constant edit as a user would.
  void Type(TRICParameterEdit* edit, const char* text) {
    edit->ConstantEdit->selectAll();
    QTest::keyClicks(edit->ConstantEdit, text);
  }
  // Every cell of the source view but the block's corner shows the placeholder picture.
  bool ShowsPlaceholder() {
    for (int r = 0; r < 64; ++r)
      for (int c = 0; c < 100; ++c)
        if ((c > 0 || r > 0) &&
            Src(Cell(c, r)) != (0xFF000000u | Doc().UndefinedSprite().Canvas.Pixel(c, 511 - r)))
          return false;
    return true;
  }
  // Whether the notice's texts in the source view reach its right edge, as
  // cut texts do (the line under the title ends at column 98).
  bool NoticeReachesTheRightEdge() const {
    for (int r = 0; r < 64; ++r)
      for (int c = 98; c < 100; ++c)
        if (Src(Cell(c, r)) != Face() && !(c == 98 && r == 63 - 18)) return true;
    return false;
  }
  QImage RowNumberAt(int top) const {
    return page_->Image_CopyBits_SourceY->Picture().copy(0, top, 25, 15);
  }

 private slots:
  void init() {
    dialogs_ = std::make_unique<ScriptedDialogs>();
    w_ = StartEditor(*dialogs_);
    page_ = Find<TCopyBitsPage>("TabSheet_Edit_CopyBits");
    QVERIFY(page_);
  }

  void cleanup() {
    Doc().MarkSaved();
    w_.reset();
  }

  void pageHasItsNamedWidgets() {
    for (const char* name : {"Image_CopyBits_Source", "Image_CopyBits_SourceX",
                             "Image_CopyBits_SourceY", "Image_CopyBits_Destination"})
      QVERIFY2(page_->findChild<TNxtImage*>(name), name);
    QCOMPARE(page_->Image_CopyBits_Source->geometry(), QRect(230, 108, 403, 259));
    QCOMPARE(page_->Image_CopyBits_Destination->geometry(), QRect(230, 412, 403, 259));
    QCOMPARE(page_->Image_CopyBits_SourceX->geometry(), QRect(222, 92, 417, 15));
    QCOMPARE(page_->Image_CopyBits_SourceY->geometry(), QRect(200, 104, 29, 269));
    QCOMPARE(page_->ScrollBar_CopyBits_SourceX->x(), 231);
    QCOMPARE(page_->ScrollBar_CopyBits_SourceX->width(), 402);
    QCOMPARE(page_->ScrollBar_CopyBits_SourceY->y(), 109);
    QCOMPARE(page_->ScrollBar_CopyBits_SourceY->height(), 258);
    auto* adapt = page_->findChild<QPushButton*>("Button_CopyBits_Adapt2Sprite");
    QVERIFY(adapt);
    QCOMPARE(adapt->text(), QString("Adapt parameters to sprite"));
    QCOMPARE(adapt->geometry(), QRect(232, 66, 213, 25));
    for (int k = 0; k <= 9; ++k) {
      auto* l = page_->findChild<QLabel*>(QString("Label_CopyBits_Destination_X%1").arg(10 * k));
      QVERIFY(l);
      QCOMPARE(l->text(), QString::number(10 * k));
    }
    for (int k = 0; k <= 6; ++k) {
      auto* l = page_->findChild<QLabel*>(QString("Label_CopyBits_Destination_Y%1").arg(10 * k));
      QVERIFY(l);
      QCOMPARE(l->text(), QString::number(10 * k));
    }
  }

  void smallSpriteSitsBottomLeftInFourByFourCells() {
    AddSprite(ElementList(), 1, 5, 7, 30, 20, {{0, 0}, {29, 19}, {3, 1}});
    AddCopyBits(1, 0, 0, 0, 0);  // no block: the views show no red
    QCOMPARE(Find<QStackedWidget>("PageControl_Edit")->currentWidget(), page_);
    // Sprite point (0, 0) fills image columns 2..5, rows 254..257 under the grid.
    for (int y = 254; y <= 256; ++y)
      for (int x = 2; x <= 4; ++x) QCOMPARE(Src(QPoint(x, y)), kBlackPixel);
    QCOMPARE(Src(QPoint(5, 255)), kLightGrid);  // grid line x = 4c + 1 over the cell's last column
    QCOMPARE(Src(QPoint(3, 257)), kLightGrid);  // grid line y = 257 - 4r
    QCOMPARE(Src(Cell(29, 19)), kBlackPixel);
    QCOMPARE(Src(Cell(3, 1)), kBlackPixel);
    QCOMPARE(Src(Cell(1, 0)), kWhitePixel);
    QCOMPARE(Src(Cell(29, 18)), kWhitePixel);
    // Beyond the sprite: the button face.
    QCOMPARE(Src(Cell(30, 0)), Face());
    QCOMPARE(Src(Cell(0, 20)), Face());
    // Dark grid every ten pixels, black frame round the view.
    QCOMPARE(Src(QPoint(41, 100)), kDarkGrid);
    QCOMPARE(Src(QPoint(100, 217)), kDarkGrid);
    QCOMPARE(Src(QPoint(1, 100)), kLightGrid);
    for (QPoint p :
         {QPoint(0, 0), QPoint(402, 0), QPoint(402, 258), QPoint(0, 258), QPoint(200, 258)})
      QCOMPARE(Src(p), kBlackPixel);
    QVERIFY(page_->ScrollBar_CopyBits_SourceX->isHidden());
    QVERIFY(page_->ScrollBar_CopyBits_SourceY->isHidden());
    // Without a block the destination is the empty grid.
    QCOMPARE(Dst(Cell(0, 0)), Face());
    QCOMPARE(Dst(QPoint(5, 255)), kLightGrid);
    QCOMPARE(Dst(QPoint(402, 100)), kBlackPixel);
    // Columns and rows numbered from 0.
    QCOMPARE(page_->Image_CopyBits_SourceX->Picture().copy(48 - 20, 0, 40, 15),
             NumberBox(10, 40, 15, Qt::AlignHCenter | Qt::AlignTop));
    QCOMPARE(RowNumberAt(254), NumberBox(0, 25, 15, Qt::AlignRight | Qt::AlignTop));
    QCOMPARE(RowNumberAt(254 - 40), NumberBox(10, 25, 15, Qt::AlignRight | Qt::AlignTop));
    QVERIFY(!w_->Modified());
  }

  void adaptFramesTheWholeSpriteAndCrossesIt() {
    AddSprite(ElementList(), 1, 0, 0, 30, 20, {{0, 0}, {29, 19}});
    int cb = AddCopyBits(1, 7, 8, 2, 3, 40, 30);
    QTest::mouseClick(page_->Button_CopyBits_Adapt2Sprite, Qt::LeftButton);
    const TRICElement& e = *ElementList()[cb];
    QCOMPARE(int(e.PosX), 0);
    QCOMPARE(int(e.PosY), 0);
    QCOMPARE(int(e.Width), 30);
    QCOMPARE(int(e.Height), 20);
    QCOMPARE(int(e.RelX), 0);
    QCOMPARE(int(e.RelY), 0);
    QCOMPARE(int(e.SpriteID), 1);
    QVERIFY(w_->Modified());
    QCOMPARE(Find<QLabel>("StatusPanel7")->text(), QString("modified"));
    // The red frame (1, 177)-(121, 257) round the bottom-left 120 x 80 pixels...
    for (QPoint p : {QPoint(1, 177), QPoint(60, 177), QPoint(121, 177), QPoint(121, 220),
                     QPoint(121, 257), QPoint(60, 257), QPoint(1, 220)})
      QCOMPARE(Src(p), kRed);
    QCOMPARE(Src(QPoint(122, 220)), Face());
    QCOMPARE(Src(QPoint(60, 176)), Face());  // outside the sprite, above the frame
    // ... and its diagonals through it.
    QCOMPARE(Src(QPoint(61, 217)), kRed);
    QCOMPARE(Src(QPoint(43, 229)), kRed);
    QCOMPARE(Src(QPoint(43, 235)), kWhitePixel);
    QVERIFY(page_->ScrollBar_CopyBits_SourceX->isHidden());
    QVERIFY(page_->ScrollBar_CopyBits_SourceY->isHidden());
    // The destination shows the whole block at the origin.
    QCOMPARE(Dst(Cell(0, 0)), kBlackPixel);
    QCOMPARE(Dst(Cell(29, 19)), kBlackPixel);
    QCOMPARE(Dst(Cell(1, 0)), kWhitePixel);
    QCOMPARE(Dst(Cell(30, 0)), Face());
    QCOMPARE(Dst(Cell(0, 20)), Face());
  }

  void destinationShowsTheBlockAtItsPlace() {
    // Block (2, 1) 3 x 2 of the sprite at screen (50, 40); sprite point (3, 2) is black.
    AddSprite(ElementList(), 1, 0, 0, 30, 20, {{3, 2}, {0, 0}});
    AddCopyBits(1, 2, 1, 3, 2, 50, 40);
    QCOMPARE(Dst(Cell(51, 41)), kBlackPixel);
    for (QPoint c : {QPoint(50, 40), QPoint(52, 40), QPoint(50, 41), QPoint(52, 41)})
      QCOMPARE(Dst(Cell(c.x(), c.y())), kWhitePixel);
    QCOMPARE(Dst(Cell(49, 40)), Face());
    QCOMPARE(Dst(Cell(53, 40)), Face());
    QCOMPARE(Dst(Cell(50, 42)), Face());
    QCOMPARE(Dst(Cell(0, 0)), Face());  // sprite point (0, 0) lies outside the block
    // A block reaching past the screen is cut at its edge.
    page_->RICParameterEdit_CopyBits_RelX->setValue(98);
    QCOMPARE(Dst(Cell(99, 41)), kBlackPixel);
    QCOMPARE(Dst(QPoint(402, 255 - 4 * 41)), kBlackPixel);  // the frame stays
  }

  void largeSpriteScrollsAndNumbersItsWindow() {
    // 160 x 100: sprite point (0, 0) and the top-left (0, 99) black, (60, 0) black.
    AddSprite(ElementList(), 1, 0, 0, 160, 100, {{0, 0}, {0, 99}, {60, 0}, {159, 36}});
    AddCopyBits(1, 0, 0, 0, 0);
    QScrollBar* sx = page_->ScrollBar_CopyBits_SourceX;
    QScrollBar* sy = page_->ScrollBar_CopyBits_SourceY;
    QVERIFY(!sx->isHidden());
    QVERIFY(!sy->isHidden());
    QCOMPARE(sx->minimum(), 0);
    QCOMPARE(sx->maximum(), 60);
    QCOMPARE(sx->value(), 0);
    QCOMPARE(sy->minimum(), 0);
    QCOMPARE(sy->maximum(), 36);
    QCOMPARE(sy->value(), 36);  // the bottom of the sprite
    QCOMPARE(Src(Cell(0, 0)), kBlackPixel);
    QCOMPARE(Src(Cell(0, 63)), kWhitePixel);  // sprite row 63
    QCOMPARE(Src(Cell(99, 63)), kWhitePixel);
    QCOMPARE(RowNumberAt(254), NumberBox(0, 25, 15, Qt::AlignRight | Qt::AlignTop));
    // Scrolled to the top: the window's bottom row is sprite row 36.
    sy->setValue(0);
    QCOMPARE(Src(Cell(0, 63)), kBlackPixel);  // sprite point (0, 99)
    QCOMPARE(Src(Cell(0, 0)), kWhitePixel);   // sprite point (0, 36)
    QCOMPARE(Src(Cell(99, 0)), kWhitePixel);  // sprite point (99, 36)
    QCOMPARE(RowNumberAt(254), NumberBox(36, 25, 15, Qt::AlignRight | Qt::AlignTop));
    QCOMPARE(RowNumberAt(254 - 40), NumberBox(46, 25, 15, Qt::AlignRight | Qt::AlignTop));
    // Scrolled fully right: the window's left column is sprite column 60.
    sx->setValue(60);
    QCOMPARE(Src(Cell(99, 0)), kBlackPixel);  // sprite point (159, 36)
    sy->setValue(36);
    QCOMPARE(Src(Cell(0, 0)), kBlackPixel);  // sprite point (60, 0)
    QCOMPARE(page_->Image_CopyBits_SourceX->Picture().copy(48 - 20, 0, 40, 15),
             NumberBox(70, 40, 15, Qt::AlignHCenter | Qt::AlignTop));
    QVERIFY(!w_->Modified());  // scrolling edits nothing
  }

  void onlyTheWiderAxisScrolls() {
    AddSprite(ElementList(), 1, 0, 0, 101, 64);
    AddCopyBits(1, 0, 0, 1, 1);
    QVERIFY(!page_->ScrollBar_CopyBits_SourceX->isHidden());
    QCOMPARE(page_->ScrollBar_CopyBits_SourceX->maximum(), 1);
    QVERIFY(page_->ScrollBar_CopyBits_SourceY->isHidden());
    QCOMPARE(page_->ScrollBar_CopyBits_SourceY->maximum(), 0);
  }

  void horizontalPositionStaysAcrossShowsWithinItsRange() {
    AddSprite(ElementList(), 1, 0, 0, 160, 100);
    int cb = AddCopyBits(1, 0, 0, 1, 1);
    page_->ScrollBar_CopyBits_SourceX->setValue(40);
    page_->ScrollBar_CopyBits_SourceY->setValue(5);
    Select(cb);
    QCOMPARE(page_->ScrollBar_CopyBits_SourceX->value(), 40);
    QCOMPARE(page_->ScrollBar_CopyBits_SourceY->value(), 36);
  }

  void redFrameFollowsScrollingAndMayLeaveTheView() {
    AddSprite(ElementList(), 1, 0, 0, 160, 100);
    AddCopyBits(1, 10, 2, 3, 4);
    // Block columns 10..12, rows 2..5 at the bottom of the window.
    const int x0 = 41, y0 = 257 - (2 + 4) * 4;
    QCOMPARE(Src(QPoint(x0, y0)), kRed);
    QCOMPARE(Src(QPoint(x0 + 12, y0 + 16)), kRed);
    page_->ScrollBar_CopyBits_SourceX->setValue(9);
    QCOMPARE(Src(QPoint(x0 - 36, y0)), kRed);
    QCOMPARE(Src(QPoint(x0, y0)), kDarkGrid);
    // Out of the window altogether: nothing red anywhere, nothing breaks.
    page_->ScrollBar_CopyBits_SourceX->setValue(60);
    const QImage& img = page_->Image_CopyBits_Source->Picture();
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) QVERIFY(img.pixel(x, y) != kRed);
    // Huge blocks and offsets are drawn clipped.
    page_->RICParameterEdit_CopyBits_Width->setValue(4095);
    page_->RICParameterEdit_CopyBits_Height->setValue(4095);
    page_->RICParameterEdit_CopyBits_RelX->setValue(4095);
    page_->ScrollBar_CopyBits_SourceX->setValue(0);
    QCOMPARE(Src(QPoint(x0, 200)), kRed);  // the left edge
    QCOMPARE(Dst(Cell(0, 0)), Face());
  }

  void mouseSelectionWritesTheBlockAsConstants() {
    AddSprite(ElementList(), 1, 0, 0, 30, 20);
    int cb = AddCopyBits(1, 0, 0, 1, 1);
    page_->RICParameterEdit_CopyBits_PosX->setValue(EncodeParameter(3));  // a reference, lost below
    QCOMPARE(page_->RICParameterEdit_CopyBits_PosX->argumentMode(), ArgumentMode::Parameter);
    Doc().MarkSaved();
    TNxtImage* src = page_->Image_CopyBits_Source;
    QTest::mousePress(src, Qt::LeftButton, {}, Cell(10, 5));
    QCOMPARE(page_->DragAnchor(), QPoint(10, 5));
    QCOMPARE(int(ElementList()[cb]->PosX), 10);
    QCOMPARE(int(ElementList()[cb]->PosY), 5);
    QCOMPARE(page_->RICParameterEdit_CopyBits_PosX->argumentMode(), ArgumentMode::Constant);
    QVERIFY(w_->Modified());
    QTest::mouseMove(src, Cell(4, 12));
    QTest::mouseRelease(src, Qt::LeftButton, {}, Cell(4, 12));
    const TRICElement& e = *ElementList()[cb];
    QCOMPARE(int(e.PosX), 4);
    QCOMPARE(int(e.PosY), 5);
    QCOMPARE(int(e.Width), 7);
    QCOMPARE(int(e.Height), 8);
    QCOMPARE(Find<QLabel>("StatusPanel1")->text(), QString("4"));
    QCOMPARE(Find<QLabel>("StatusPanel2")->text(), QString("12"));
    for (TRICParameterEdit* edit :
         {page_->RICParameterEdit_CopyBits_PosX, page_->RICParameterEdit_CopyBits_PosY,
          page_->RICParameterEdit_CopyBits_Width, page_->RICParameterEdit_CopyBits_Height})
      QCOMPARE(edit->argumentMode(), ArgumentMode::Constant);
    // The views follow at once: the frame's top-left corner is at (4, 12 + 1).
    QCOMPARE(Src(QPoint(4 * 4 + 1, 257 - 13 * 4)), kRed);
    // A move without a button only shows where the pointer is.
    QTest::mouseMove(src, Cell(20, 2));
    QCOMPARE(Find<QLabel>("StatusPanel1")->text(), QString("20"));
    QCOMPARE(Find<QLabel>("StatusPanel2")->text(), QString("2"));
    QCOMPARE(int(e.Width), 7);
  }

  void sourcePointsCountFromTheScrolledWindow() {
    AddSprite(ElementList(), 1, 0, 0, 160, 100);
    int cb = AddCopyBits(1, 0, 0, 1, 1);
    page_->ScrollBar_CopyBits_SourceX->setValue(25);
    page_->ScrollBar_CopyBits_SourceY->setValue(6);  // window bottom = sprite row 30
    QTest::mouseClick(page_->Image_CopyBits_Source, Qt::RightButton, {}, Cell(2, 3));
    QCOMPARE(int(ElementList()[cb]->PosX), 27);
    QCOMPARE(int(ElementList()[cb]->PosY), 33);
    QCOMPARE(page_->DragAnchor(), QPoint(27, 33));
    // Points beyond the view's edge are clamped to its last column and row.
    QTest::mouseClick(page_->Image_CopyBits_Source, Qt::LeftButton, {}, QPoint(1, 1));
    QCOMPARE(int(ElementList()[cb]->PosX), 25);
    QCOMPARE(int(ElementList()[cb]->PosY), 30 + 63);
  }

  void destinationPressPlacesTheBlock() {
    AddSprite(ElementList(), 1, 0, 0, 30, 20);
    int cb = AddCopyBits(1, 0, 0, 1, 1, 10, 10);
    Doc().MarkSaved();
    TNxtImage* dst = page_->Image_CopyBits_Destination;
    QTest::mouseClick(dst, Qt::RightButton, {}, Cell(30, 20));
    QCOMPARE(int(ElementList()[cb]->RelX), 10);  // a right press only shows the position
    QCOMPARE(Find<QLabel>("StatusPanel1")->text(), QString("30"));
    QCOMPARE(Find<QLabel>("StatusPanel2")->text(), QString("20"));
    QVERIFY(!w_->Modified());
    QTest::mousePress(dst, Qt::LeftButton, {}, QPoint(1, 1));
    QCOMPARE(int(ElementList()[cb]->RelX), 0);
    QCOMPARE(int(ElementList()[cb]->RelY), 63);
    QVERIFY(w_->Modified());
    QTest::mouseMove(dst, Cell(42, 17));
    QTest::mouseRelease(dst, Qt::LeftButton, {}, Cell(42, 17));
    QCOMPARE(int(ElementList()[cb]->RelX), 42);
    QCOMPARE(int(ElementList()[cb]->RelY), 17);
    QCOMPARE(page_->RICParameterEdit_CopyBits_RelY->argumentMode(), ArgumentMode::Constant);
    QCOMPARE(Dst(Cell(42, 17)), kWhitePixel);
  }

  void missingSpriteShowsTheNoticeAndAdaptIgnoresIt() {
    int cb = AddCopyBits(1, 0, 0, 0, 0, 5, 5);
    const SpriteCanvas& notice = Doc().UndefinedSprite().Canvas;
    bool blue = false;
    for (int r = 0; r < 64; ++r)
      for (int c = 0; c < 100; ++c) {
        QRgb want = 0xFF000000u | notice.Pixel(c, 511 - r);
        QCOMPARE(Src(Cell(c, r)), want);
        blue = blue || want == 0xFF0000FFu;
        QCOMPARE(Dst(Cell(c, r)), Face());  // an empty destination grid
      }
    QVERIFY(blue);  // "Sprite not defined!"
    QVERIFY(!NoticeReachesTheRightEdge());
    QVERIFY(page_->Image_CopyBits_Source->toolTip().contains("not defined"));
    QVERIFY(page_->ScrollBar_CopyBits_SourceX->isHidden());
    QVERIFY(page_->ScrollBar_CopyBits_SourceY->isHidden());
    QTest::mouseClick(page_->Button_CopyBits_Adapt2Sprite, Qt::LeftButton);
    QCOMPARE(int(ElementList()[cb]->Width), 0);
    QCOMPARE(int(ElementList()[cb]->RelX), 5);
    QVERIFY(!w_->Modified());
  }

  void spriteBehindTheCopyBitsOrHiddenByAVarMapIsMissing() {
    int cb = AddCopyBits(1, 0, 0, 1, 1);
    AddSprite(ElementList(), 1, 0, 0, 30, 20, {{5, 5}});
    Select(cb);
    QVERIFY(ShowsPlaceholder());
    ClearElements(ElementList());
    AddSprite(ElementList(), 1, 0, 0, 30, 20, {{5, 5}});
    AddCopyBits(1, 0, 0, 1, 1);
    QVERIFY(!ShowsPlaceholder());
    QVERIFY(page_->Image_CopyBits_Source->toolTip().isEmpty());
    // A VarMap with the sprite's id hides it: the notice says which one.
    ClearElements(ElementList());
    AddSprite(ElementList(), 1, 0, 0, 30, 20, {{5, 5}});
    NewVarMap(ElementList(), 1, 2);
    AddCopyBits(1, 0, 0, 1, 1);
    QVERIFY(!ShowsPlaceholder());
    QCOMPARE(Src(Cell(5, 5)), Face());
    QVERIFY(page_->Image_CopyBits_Source->toolTip().contains("VarMap at step 2"));
    QVERIFY(!NoticeReachesTheRightEdge());
  }

  void spriteWithoutUsedAreaShowsAnEmptyView() {
    NewSprite(ElementList(), 1);
    int cb = AddCopyBits(1, 0, 0, 2, 2, 3, 3);
    QCOMPARE(Src(Cell(5, 5)), Face());
    QCOMPARE(Src(QPoint(5, 100)), Face());  // no grid without a picture
    QCOMPARE(Dst(Cell(3, 3)), Face());
    QCOMPARE(Dst(QPoint(5, 100)), kLightGrid);
    QTest::mouseClick(page_->Button_CopyBits_Adapt2Sprite, Qt::LeftButton);
    QCOMPARE(int(ElementList()[cb]->Width), 0);
    QCOMPARE(int(ElementList()[cb]->Height), 0);
    QCOMPARE(int(ElementList()[cb]->RelX), 0);
  }

  void viewsFollowASpriteIdParameter() {
    AddSprite(ElementList(), 1, 0, 0, 30, 20, {{0, 0}});
    AddSprite(ElementList(), 2, 0, 0, 160, 100, {{1, 0}});
    Params().ParameterSet[7] = 1;
    int cb = AddCopyBits(1, 0, 0, 0, 0);
    ElementList()[cb]->SpriteID = EncodeParameter(7);
    Select(cb);
    QCOMPARE(Src(Cell(0, 0)), kBlackPixel);
    QCOMPARE(Src(Cell(1, 0)), kWhitePixel);
    QVERIFY(page_->ScrollBar_CopyBits_SourceY->isHidden());
    // The main window shows the element again when a parameter changes.
    Params().ParameterSet[7] = 2;
    w_->ShowElement(cb);
    QCOMPARE(Src(Cell(0, 0)), kWhitePixel);
    QCOMPARE(Src(Cell(1, 0)), kBlackPixel);
    QCOMPARE(page_->ScrollBar_CopyBits_SourceY->maximum(), 36);
    QVERIFY(!w_->Modified());
  }

  void editedSpriteIdTakesItsSpritesScrollRanges() {
    AddSprite(ElementList(), 1, 0, 0, 30, 20);
    AddSprite(ElementList(), 2, 0, 0, 160, 100, {{0, 0}});
    int cb = AddCopyBits(1, 0, 0, 0, 0);
    QVERIFY(page_->ScrollBar_CopyBits_SourceY->isHidden());
    Type(page_->RICParameterEdit_CopyBits_SpriteID, "2");
    QCOMPARE(int(ElementList()[cb]->SpriteID), 2);
    QVERIFY(!page_->ScrollBar_CopyBits_SourceY->isHidden());
    QCOMPARE(page_->ScrollBar_CopyBits_SourceY->value(), 36);
    QCOMPARE(Src(Cell(0, 0)), kBlackPixel);  // the bottom of sprite 2, numbered from 0
    QCOMPARE(RowNumberAt(254), NumberBox(0, 25, 15, Qt::AlignRight | Qt::AlignTop));
  }

  void typingAFieldWritesTheWholeElementAndRedraws() {
    AddSprite(ElementList(), 1, 0, 0, 30, 20, {{0, 0}});
    int cb = AddCopyBits(1, 0, 0, 1, 1);
    QCOMPARE(Dst(Cell(0, 0)), kBlackPixel);
    Type(page_->RICParameterEdit_CopyBits_RelX, "12");
    QCOMPARE(int(ElementList()[cb]->RelX), 12);
    QCOMPARE(Dst(Cell(0, 0)), Face());
    QCOMPARE(Dst(Cell(12, 0)), kBlackPixel);
    QVERIFY(w_->Modified());
    // The main display shows the document with the moved block.
    w_->FlushRefresh();
    QCOMPARE(QColor(Find<TNxtImage>("Image_NXT")->Picture().pixel(1 + 12, 1 + 63)),
             QColor(Qt::black));
  }

  void fieldsTheUserDidNotEditStayAsTheyCame() {
    // Sprite 15, a VarMap id beyond 10 and a reference with another tag than 0xF.
    int cb = NewCopyBits(ElementList(), 0, 15, 0xFC05, 0x1003, 8, 2, 3, 4);
    Select(cb);
    QCOMPARE(page_->RICParameterEdit_CopyBits_SpriteID->ConstantEdit->text(), QString("15"));
    QCOMPARE(page_->RICParameterEdit_CopyBits_PosX->MapIdEdit->text(), QString("12"));
    Type(page_->RICParameterEdit_CopyBits_RelX, "12");
    const TRICElement& e = *ElementList()[cb];
    QCOMPARE(int(e.RelX), 12);
    QCOMPARE(int(e.SpriteID), 15);
    QCOMPARE(int(e.PosX), 0xFC05);
    QCOMPARE(int(e.PosY), 0x1003);
    Type(page_->RICParameterEdit_CopyBits_SpriteID, "1");
    QCOMPARE(int(e.SpriteID), 1);
  }

  void fillingNeverMarksModified() {
    AddSprite(ElementList(), 1, 0, 0, 160, 100);
    int cb = AddCopyBits(1, 3, 4, 5, 6, 7, 8);
    QVERIFY(!w_->Modified());
    QCOMPARE(Find<QLabel>("StatusPanel7")->text(), QString());
    Select(0);
    Select(cb);
    QVERIFY(!w_->Modified());
    const TRICElement& e = *ElementList()[cb];
    QCOMPARE(int(e.PosX), 3);
    QCOMPARE(int(e.RelY), 8);
  }

  void pointFromMouseTruncatesAndClamps() {
    QCOMPARE(TCopyBitsPage::CopyBitsPointFromMouse(0, 0), QPoint(0, 63));
    QCOMPARE(TCopyBitsPage::CopyBitsPointFromMouse(4, 4), QPoint(0, 63));
    QCOMPARE(TCopyBitsPage::CopyBitsPointFromMouse(5, 5), QPoint(1, 62));
    QCOMPARE(TCopyBitsPage::CopyBitsPointFromMouse(402, 258), QPoint(99, 0));
    QCOMPARE(TCopyBitsPage::CopyBitsPointFromMouse(-50, 2000), QPoint(0, 0));
  }
};

QTEST_MAIN(CopyBitsPageTest)
#include "copybitspage_test.moc"
