// The sprite page driven as a user would: selecting a sprite, zooming and
// scrolling, drawing with each tool by pressing and dragging on the view,
// undoing, marking an area and running the area operations.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "Document.h"
#include "DrawGrid.h"
#include "ParameterFile.h"
#include "RicFile.h"
#include "ScriptedDialogs.h"
#include "SpritePage.h"
#include "SpriteView.h"
#include "Tavlin_AddText.h"
#include "Tavlin_Import.h"
#include "Tavlin_main.h"

using namespace tavlin;

namespace {

// Accepts the add-text dialog with `text` typed; cancels it while `accept` is false.
class TextDialogs : public ScriptedDialogs {
 public:
  bool accept = true;
  QString text = "Hi";
  int RunModal(QDialog* dialog) override {
    ScriptedDialogs::RunModal(dialog);
    if (auto* d = qobject_cast<TForm_Tavlin_AddText*>(dialog); d && accept) {
      d->Memo_Text->setPlainText(text);
      d->RenderTextBitmap();
      return QDialog::Accepted;
    }
    if (auto* d = qobject_cast<TForm_Tavlin_Import*>(dialog); d && accept) {
      if (!d->LoadPictureFile(TAVLIN_TEST_DATA "/pictures/pattern-1.bmp")) return QDialog::Rejected;
      d->SpinEdit_Image_Width->setValue(6);
      d->SpinEdit_Image_Height->setValue(4);
      d->ConvertPicture();
      return QDialog::Accepted;
    }
    return QDialog::Rejected;
  }
};

}  // namespace

class SpritePageTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  std::unique_ptr<TextDialogs> dialogs_;
  std::unique_ptr<TForm_Tavlin> w_;
  // The window's document, its elements and preview parameters.
  RICDocument& Doc() { return w_->Document(); }
  RICElementList& ElementList() { return w_->Document().ElementList(); }
  PreviewParameters& Params() { return w_->Document().Parameters(); }

  TSpritePage* Page() { return Find<TSpritePage>("TabSheet_Edit_Sprite"); }
  TRICElement& Sprite() { return *ElementList()[0]; }
  template <class T>
  T* Find(const QString& name) {
    return FindChild<T>(w_.get(), name);
  }
  void Click(const char* button) { QTest::mouseClick(Find<QToolButton>(button), Qt::LeftButton); }
  QString Text(const char* label) { return Find<QLabel>(label)->text(); }
  QString Status(int panel) { return Find<QLabel>(QString("StatusPanel%1").arg(panel))->text(); }
  std::uint8_t Px(int x, int y) { return Sprite().Canvas.PixelIndex(x, y); }
  QString SizeItem() { return QString::fromStdString(ElementItems(Sprite())[1].Value); }

  // The middle of canvas pixel (x, y) in the view.
  QPoint At(int x, int y) {
    int z = Sprite().ZoomFactor;
    return QPoint(1 + (x - Page()->ScrollBar_Sprite_X->value()) * z + z / 2,
                  1 + (y - Page()->ScrollBar_Sprite_Y->value()) * z + z / 2);
  }
  void Send(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(pos), Page()->Image_Sprite->mapToGlobal(QPointF(pos)), button, held,
                  Qt::NoModifier);
    QApplication::sendEvent(Page()->Image_Sprite, &e);
  }
  void Press(int x, int y, Qt::MouseButton b = Qt::LeftButton) {
    Send(QEvent::MouseButtonPress, At(x, y), b, b);
  }
  void Move(int x, int y, Qt::MouseButtons held = Qt::LeftButton) {
    Send(QEvent::MouseMove, At(x, y), Qt::NoButton, held);
  }
  void Release(int x, int y, Qt::MouseButton b = Qt::LeftButton) {
    Send(QEvent::MouseButtonRelease, At(x, y), b, Qt::NoButton);
  }
  void Drag(int x1, int y1, int x2, int y2, Qt::MouseButton b = Qt::LeftButton) {
    Press(x1, y1, b);
    Move(x2, y2, b);
    Release(x2, y2, b);
  }
  int CountOf(std::uint8_t index) {
    int n = 0;
    for (int y = 0; y < SpriteCanvas::kHeight; ++y)
      for (int x = 0; x < SpriteCanvas::kWidth; ++x) n += Px(x, y) == index;
    return n;
  }
  QRgb ViewPixel(int x, int y) { return Page()->Image_Sprite->Picture().pixel(x, y) & 0xFFFFFF; }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QDir::setCurrent(dir_.path());
  }

  void init() {
    dialogs_ = std::make_unique<TextDialogs>();
    w_ = StartEditor(*dialogs_);
    NewSprite(ElementList(), 1);
    w_->SelectElement(0);
  }

  void cleanup() {
    Doc().MarkSaved();
    w_.reset();
  }

  void showingANewSpriteFillsThePageWithoutMarkingItModified() {
    QCOMPARE(Find<QStackedWidget>("PageControl_Edit")->currentWidget(),
             static_cast<QWidget*>(Page()));
    QVERIFY(!w_->Modified());
    QCOMPARE(Text("Label_Sprite_ImageSizeValue"), QString("0 x 0 pixels / 0 bytes"));
    QCOMPARE(Text("Label_Sprite_ZoomFactorValue"), QString("6"));
    QCOMPARE(Text("Label_Sprite_VisibleAreaValue"), QString("100 x 64 pixels"));
    QCOMPARE(Page()->ScrollBar_Sprite_X->value(), 0);
    QCOMPARE(Page()->ScrollBar_Sprite_Y->value(), 448);
    QCOMPARE(Page()->TrackBar_Sprite_Zoom->value(), 4);
    QVERIFY(!Find<QAction>("Menu_Edit_Undo")->isEnabled());
    QVERIFY(!Page()->SpeedButton_Sprite_Undo->isVisible());
    QVERIFY(!Page()->SpeedButton_Sprite_Paste->isVisible());
    QVERIFY(!Page()->SpeedButton_Sprite_Erase->isVisible());
    QVERIFY(Find<QMenu>("Menu_Edit_Sprite")->menuAction()->isVisible());
    QVERIFY(Page()->SpeedButton_Sprite_Point->isChecked());
    QCOMPARE(ViewPixel(2, 2), QRgb(kGrey));
    QCOMPARE(ViewPixel(0, 0), QRgb(0));
    QCOMPARE(ViewPixel(6, 10), QRgb(kGridColour));  // grid at zoom 6
    // A sprite id typed by the user is an edit; the list row follows.
    Page()->SpinEdit_Sprite_ID->setValue(7);
    QCOMPARE(int(Sprite().ID), 7);
    QVERIFY(w_->Modified());
    QCOMPARE(QString::fromStdString(ElementItems(Sprite())[0].Value), QString("7"));
  }

  void zoomTrackBarMenusAndButtonChangeTheView() {
    Page()->TrackBar_Sprite_Zoom->setValue(0);
    QCOMPARE(Sprite().ZoomFactor, 1);
    QCOMPARE(Text("Label_Sprite_VisibleAreaValue"), QString("600 x 384 pixels"));
    QCOMPARE(Page()->ScrollBar_Sprite_X->maximum(), 424);
    QCOMPARE(Page()->ScrollBar_Sprite_Y->maximum(), 128);
    QCOMPARE(Page()->ScrollBar_Sprite_Y->value(), 128);
    QCOMPARE(ViewPixel(6, 10), QRgb(kGrey));  // no grid at zoom 1
    Find<QAction>("Menu_View_ZoomIn")->trigger();
    QCOMPARE(Sprite().ZoomFactor, 2);
    Page()->TrackBar_Sprite_Zoom->setValue(7);
    QCOMPARE(Sprite().ZoomFactor, 24);
    QCOMPARE(Page()->ScrollBar_Sprite_Y->maximum(), 496);
    Find<QAction>("Menu_View_ZoomIn")->trigger();  // already at the largest
    QCOMPARE(Sprite().ZoomFactor, 24);
    Find<QAction>("Menu_View_ZoomOut")->trigger();
    QCOMPARE(Sprite().ZoomFactor, 12);
    Click("SpeedButton_Sprite_ZoomNXT");
    QCOMPARE(Sprite().ZoomFactor, 6);
    QCOMPARE(Text("Label_Sprite_ZoomFactorValue"), QString("6"));
    // Scrolling moves the canvas under the view.
    Sprite().Canvas.SetPixelIndex(10, 448, kBlackIndex);
    Page()->ScrollBar_Sprite_X->setValue(10);
    QCOMPARE(ViewPixel(2, 2), QRgb(kBlack));
    QVERIFY(!w_->Modified());
  }

  void pointerMapsToCanvasAndStatusBar() {
    Page()->TrackBar_Sprite_Zoom->setValue(0);
    QCOMPARE(Page()->MouseToSprite(0, 0), QPoint(0, 127));  // one row above, clamped column
    Page()->ScrollBar_Sprite_X->setValue(424);
    QCOMPARE(Page()->MouseToSprite(601, 100).x(), 1023);
    Click("SpeedButton_Sprite_ZoomNXT");
    QCOMPARE(Page()->MouseToSprite(0, 0), QPoint(0, 448));
    Move(3, 500, Qt::NoButton);
    QCOMPARE(Status(1), QString("3"));
    QCOMPARE(Status(2), QString("11"));
  }

  void pointToolDrawsBothColoursAndUndoRestores() {
    Press(5, 500);
    Release(5, 500);
    QCOMPARE(Px(5, 500), kBlackIndex);
    QCOMPARE(Sprite().UsedArea, (TRect{5, 500, 5, 500}));
    QCOMPARE(Text("Label_Sprite_ImageSizeValue"), QString("1 x 1 / 1 byte"));
    QCOMPARE(SizeItem(), QString("1/1"));
    QVERIFY(w_->Modified());
    QVERIFY(Find<QAction>("Menu_Edit_Undo")->isEnabled());
    QVERIFY(Page()->SpeedButton_Sprite_Undo->isVisible());
    QCOMPARE(ViewPixel(At(5, 500).x(), At(5, 500).y()), QRgb(kBlack));
    // Dragging with the right button paints white pixels, one per move.
    Press(13, 500, Qt::RightButton);
    Move(14, 501, Qt::RightButton);
    Release(14, 501, Qt::RightButton);
    QCOMPARE(Px(13, 500), kWhiteIndex);
    QCOMPARE(Px(14, 501), kWhiteIndex);
    QCOMPARE(Sprite().UsedArea, (TRect{5, 500, 14, 501}));
    QCOMPARE(Text("Label_Sprite_ImageSizeValue"), QString("10 x 2 / 4 bytes"));
    QCOMPARE(Doc().UndoCount(), std::size_t(2));  // a stroke is one step
    Find<QAction>("Menu_Edit_Undo")->trigger();
    QCOMPARE(Sprite().UsedArea, (TRect{5, 500, 5, 500}));
    QCOMPARE(Px(13, 500), kGreyIndex);
    Click("SpeedButton_Sprite_Undo");
    QCOMPARE(Sprite().UsedArea, kUnsetRect);
    QCOMPARE(Px(5, 500), kGreyIndex);
    QVERIFY(!Find<QAction>("Menu_Edit_Undo")->isEnabled());
    QVERIFY(!Page()->SpeedButton_Sprite_Undo->isVisible());
  }

  void lineDragPreviewsInRedAndFinishesInTheDrawingColour() {
    Click("SpeedButton_Sprite_Line");
    Press(2, 470);
    Move(10, 474);
    QCOMPARE(Px(2, 470), kRedIndex);
    QCOMPARE(Px(10, 474), kRedIndex);
    Move(10, 480);
    QCOMPARE(Px(10, 474), kGreyIndex);  // only one frame of preview
    Release(10, 480);
    QCOMPARE(CountOf(kRedIndex), 0);
    QCOMPARE(Px(2, 470), kBlackIndex);
    QCOMPARE(Px(10, 480), kBlackIndex);
    QCOMPARE(Sprite().UsedArea, (TRect{2, 470, 10, 480}));
    QCOMPARE(Px(10, 470), kWhiteIndex);
    QCOMPARE(Page()->SpriteToolValue(), SpriteToolState::Line);
    // A click draws one pixel; undo removes the finished line entirely.
    Press(30, 490);
    Release(30, 490);
    QCOMPARE(Px(30, 490), kBlackIndex);
    QCOMPARE(Sprite().UsedArea, (TRect{2, 470, 30, 490}));
    Click("SpeedButton_Sprite_Undo");
    Click("SpeedButton_Sprite_Undo");
    QCOMPARE(CountOf(kBlackIndex), 0);
    QCOMPARE(Sprite().UsedArea, kUnsetRect);
  }

  void aSecondButtonDuringADragSnapshotsNoPreview() {
    Click("SpeedButton_Sprite_Rectangle");
    Press(2, 470);
    Move(8, 474);
    QVERIFY(CountOf(kRedIndex) > 0);
    Send(QEvent::MouseButtonPress, At(8, 474), Qt::RightButton, Qt::LeftButton | Qt::RightButton);
    Release(8, 474);
    QCOMPARE(CountOf(kRedIndex), 0);
    Click("SpeedButton_Sprite_Undo");
    QCOMPARE(CountOf(kRedIndex), 0);
    Click("SpeedButton_Sprite_Undo");
    QCOMPARE(CountOf(kRedIndex), 0);
    QCOMPARE(Sprite().UsedArea, kUnsetRect);
  }

  void rightButtonLineOverGreyWhitensItsBox() {
    Click("SpeedButton_Sprite_Line");
    Drag(0, 460, 4, 462, Qt::RightButton);
    QCOMPARE(Sprite().UsedArea, (TRect{0, 460, 4, 462}));
    QCOMPARE(CountOf(kWhiteIndex), 15);
    QCOMPARE(CountOf(kBlackIndex), 0);
  }

  void rectangleClickDrawsNothingButExtendsTheUsedArea() {
    Click("SpeedButton_Sprite_Rectangle");
    Press(20, 480);
    Release(20, 480);
    QCOMPARE(Px(20, 480), kWhiteIndex);
    QCOMPARE(Sprite().UsedArea, (TRect{20, 480, 20, 480}));
    Drag(10, 470, 14, 473);
    QCOMPARE(CountOf(kBlackIndex), 14);
    QCOMPARE(Px(12, 471), kWhiteIndex);
    // Fill inside the outline, then the filled rectangle with the right button.
    Click("SpeedButton_Sprite_Fill");
    Press(12, 471);
    Release(12, 471);
    QCOMPARE(Px(12, 471), kBlackIndex);
    QCOMPARE(CountOf(kBlackIndex), 20);
    QCOMPARE(Px(15, 471), kWhiteIndex);  // outside stays
    Press(40, 500);                      // grey: nothing
    QCOMPARE(Px(40, 500), kGreyIndex);
    Click("SpeedButton_Sprite_FRectangle");
    Drag(11, 471, 13, 472, Qt::RightButton);
    QCOMPARE(CountOf(kBlackIndex), 14);
  }

  void circleAndEllipseCoverTheirBoxes() {
    Click("SpeedButton_Sprite_Circle");
    Drag(50, 480, 53, 478);
    QCOMPARE(Sprite().UsedArea, (TRect{47, 477, 53, 483}));
    QVERIFY(Px(47, 480) == kBlackIndex && Px(53, 480) == kBlackIndex);
    QCOMPARE(Px(50, 480), kWhiteIndex);
    QCOMPARE(Page()->SpriteToolValue(), SpriteToolState::Circle);
    Click("SpeedButton_Sprite_FCircle");
    Drag(80, 480, 81, 480);
    QCOMPARE(Px(80, 480), kBlackIndex);
    QCOMPARE(Px(79, 480), kBlackIndex);
    Click("SpeedButton_Sprite_FEllispe");
    Drag(10, 450, 19, 455);
    QCOMPARE(Px(10, 452), kBlackIndex);
    QCOMPARE(Px(19, 452), kBlackIndex);
    QCOMPARE(Px(14, 450), kBlackIndex);
    QCOMPARE(Px(14, 455), kBlackIndex);
    QCOMPARE(Px(10, 450), kWhiteIndex);
    Click("SpeedButton_Sprite_Ellispe");
    Drag(30, 460, 25, 455);  // dragging up-left: columns 26..29, rows 456..459
    QCOMPARE(Px(25, 457), kWhiteIndex);
    QCOMPARE(Px(26, 457), kBlackIndex);
    QCOMPARE(Px(29, 457), kBlackIndex);
    QCOMPARE(CountOf(kRedIndex), 0);
  }

  void compressShrinksToTheBlackPixels() {
    Click("SpeedButton_Sprite_Rectangle");
    Press(20, 480);
    Release(20, 480);
    Click("SpeedButton_Sprite_Point");
    Press(25, 490);
    Release(25, 490);
    QCOMPARE(Sprite().UsedArea, (TRect{20, 480, 25, 490}));
    Doc().MarkSaved();
    Click("SpeedButton_Sprite_Minimize");
    QCOMPARE(Sprite().UsedArea, (TRect{25, 490, 25, 490}));
    QCOMPARE(Px(20, 480), kGreyIndex);
    QVERIFY(w_->Modified());
    Click("SpeedButton_Sprite_Undo");  // the compress is one step
    QCOMPARE(Sprite().UsedArea, (TRect{20, 480, 25, 490}));
    QCOMPARE(Px(20, 480), kWhiteIndex);
    QVERIFY(!w_->Modified());
    Find<QAction>("Menu_Edit_Sprite_CompressSprite")->trigger();
    QCOMPARE(Sprite().UsedArea, (TRect{25, 490, 25, 490}));
  }

  void markingShowsTheAreaButtonsAndScrollAndMirrorWork() {
    Click("SpeedButton_Sprite_Select");
    QVERIFY(!Page()->SpeedButton_Sprite_ScrollUp->isVisible());
    Drag(12, 482, 10, 480);
    QCOMPARE(Sprite().MarkedArea, (TRect{10, 480, 12, 482}));
    QVERIFY(Page()->SpeedButton_Sprite_ScrollUp->isVisible());
    QVERIFY(Page()->Menu_Edit_Sprite_MarkArea->menuAction()->isVisible());
    QVERIFY(!w_->Modified());  // a mark changes no content
    QCOMPARE(Page()->SpriteToolValue(), SpriteToolState::Select);
    // The mark tints the view: grey pixels show #E080E0.
    QCOMPARE(ViewPixel(At(11, 481).x(), At(11, 481).y()), QRgb(0xE080E0));
    Sprite().Canvas.SetPixelIndex(10, 480, kBlackIndex);
    Click("SpeedButton_Sprite_ScrollUp");
    QCOMPARE(Sprite().UsedArea, (TRect{10, 480, 12, 482}));
    QCOMPARE(Px(10, 482), kBlackIndex);
    QCOMPARE(Px(10, 480), kWhiteIndex);
    Click("SpeedButton_Sprite_ScrollRight");
    QCOMPARE(Px(11, 482), kBlackIndex);
    Find<QAction>("Menu_Edit_Sprite_MarkArea_MirrorArea_Vertical")->trigger();
    QCOMPARE(Px(11, 480), kBlackIndex);
    Click("SpeedButton_Sprite_MirrorLR");
    QCOMPARE(Px(11, 480), kBlackIndex);
    Click("SpeedButton_Sprite_ScrollLeft");
    Click("SpeedButton_Sprite_ScrollDown");
    QCOMPARE(Px(10, 481), kBlackIndex);
    Click("SpeedButton_Sprite_Invert");
    QCOMPARE(Px(10, 481), kWhiteIndex);
    QCOMPARE(CountOf(kBlackIndex), 8);
    Click("SpeedButton_Sprite_Erase");
    QCOMPARE(CountOf(kBlackIndex), 0);
    QCOMPARE(Sprite().MarkedArea, (TRect{10, 480, 12, 482}));  // the mark stays
    // Choosing another tool clears the mark and hides the buttons.
    Click("SpeedButton_Sprite_Point");
    QCOMPARE(Sprite().MarkedArea, kUnsetRect);
    QVERIFY(!Page()->SpeedButton_Sprite_Erase->isVisible());
  }

  void invertingAMarkOutsideTheUsedAreaMakesItBlack() {
    Click("SpeedButton_Sprite_Select");
    Drag(30, 460, 33, 461);
    Find<QAction>("Menu_Edit_Sprite_MarkArea_InvertArea")->trigger();
    QCOMPARE(CountOf(kBlackIndex), 8);
    QCOMPARE(Sprite().UsedArea, (TRect{30, 460, 33, 461}));
  }

  void rotatingLiftsTheMarkIntoAPastedPicture() {
    Click("SpeedButton_Sprite_Select");
    Drag(10, 480, 12, 484);  // 3 x 5
    Sprite().Canvas.SetPixelIndex(10, 480, kBlackIndex);
    Click("SpeedButton_Sprite_RotateRight");
    QCOMPARE(Page()->Floating().Width, 5);
    QCOMPARE(Page()->Floating().Height, 3);
    QCOMPARE(Page()->FloatingPosition(), QPoint(11, 482));
    QVERIFY(Page()->SpeedButton_Sprite_Paste->isVisible());
    QVERIFY(Page()->SpeedButton_Sprite_Paste->isChecked());
    QVERIFY(!Page()->SpeedButton_Sprite_RotateRight->isVisible());
    QCOMPARE(Page()->SpriteToolValue(), SpriteToolState::Paste);
    QCOMPARE(CountOf(kWhiteIndex), 0);  // the canvas is unchanged
    // The picture follows the pointer and a left click stamps it.
    Move(40, 490, Qt::NoButton);
    QCOMPARE(Page()->FloatingPosition(), QPoint(40, 490));
    QCOMPARE(ViewPixel(At(44, 490).x(), At(44, 490).y()), QRgb(kFloatingSet));
    QCOMPARE(Px(44, 490), kGreyIndex);
    Press(40, 490);
    Release(40, 490);
    QCOMPARE(Px(44, 490), kBlackIndex);  // top row becomes the right column
    QCOMPARE(Sprite().UsedArea, (TRect{40, 490, 44, 492}));
    QCOMPARE(CountOf(kWhiteIndex), 14);
    Click("SpeedButton_Sprite_Line");
    QVERIFY(!Page()->SpeedButton_Sprite_Paste->isVisible());
    QVERIFY(Page()->Floating().Empty());
  }

  void copyKeepsTheMarkAndPasteStampsClearPixelsWhite() {
    Click("SpeedButton_Sprite_Select");
    Drag(0, 500, 3, 501);
    Sprite().Canvas.SetPixelIndex(3, 500, kBlackIndex);
    Click("SpeedButton_Sprite_Copy");
    QVERIFY(Page()->SpeedButton_Sprite_Paste->isVisible());
    QVERIFY(!Page()->SpeedButton_Sprite_Paste->isChecked());
    QCOMPARE(Page()->SpriteToolValue(), SpriteToolState::Select);
    QCOMPARE(Sprite().MarkedArea, (TRect{0, 500, 3, 501}));
    Click("SpeedButton_Sprite_Paste");
    QCOMPARE(Page()->SpriteToolValue(), SpriteToolState::Paste);
    Press(50, 470);
    QCOMPARE(Px(50, 470), kWhiteIndex);
    QCOMPARE(Px(53, 470), kBlackIndex);
    QCOMPARE(Sprite().UsedArea, (TRect{50, 470, 53, 471}));
    // Holding the button while moving stamps again.
    Move(60, 470);
    QCOMPARE(Px(63, 470), kBlackIndex);
    Release(60, 470);
  }

  void importedPictureFloatsAndAClickStampsIt() {
    dialogs_->accept = false;
    Click("SpeedButton_Sprite_Import");
    QCOMPARE(Page()->SpriteToolValue(), SpriteToolState::Point);
    QVERIFY(Page()->Floating().Empty());
    dialogs_->accept = true;
    Find<QAction>("Menu_Edit_Sprite_ImportImage")->trigger();
    QCOMPARE(Page()->Floating().Width, 6);
    QCOMPARE(Page()->Floating().Height, 4);
    QCOMPARE(Page()->SpriteToolValue(), SpriteToolState::Paste);
    QVERIFY(Page()->SpeedButton_Sprite_Paste->isChecked());
    QCOMPARE(CountOf(kWhiteIndex) + CountOf(kBlackIndex), 0);  // nothing until a click
    const QImage bitmap = w_->findChild<TForm_Tavlin_Import*>()->ConvertedBitmap();
    Press(20, 470);
    Release(20, 470);
    QCOMPARE(Sprite().UsedArea, (TRect{20, 470, 25, 473}));
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 6; ++x)
        QCOMPARE(Px(20 + x, 470 + y),
                 (bitmap.pixel(x, y) & 0xFFFFFF) == 0 ? kBlackIndex : kWhiteIndex);
    QVERIFY(CountOf(kBlackIndex) > 0 && CountOf(kWhiteIndex) > 0);
  }

  void textToolPlacesTheTypedText() {
    Click("SpeedButton_Sprite_Text");
    dialogs_->accept = false;
    Doc().MarkSaved();
    Press(5, 460);
    Release(5, 460);
    QCOMPARE(Page()->SpriteToolValue(), SpriteToolState::Text);
    QVERIFY(!Doc().CanUndo());  // a cancelled dialog changes nothing
    QVERIFY(!w_->Modified());
    QCOMPARE(CountOf(kBlackIndex), 0);
    dialogs_->accept = true;
    Press(5, 460);
    Release(5, 460);
    QCOMPARE(Page()->SpriteToolValue(), SpriteToolState::TextPlacing);
    QVERIFY(CountOf(kRedIndex) > 0);
    Move(8, 470, Qt::NoButton);
    Press(8, 470);
    Release(8, 470);
    QCOMPARE(Page()->SpriteToolValue(), SpriteToolState::Text);
    QCOMPARE(CountOf(kRedIndex), 0);
    QVERIFY(CountOf(kBlackIndex) > 0);
    QVERIFY(Sprite().UsedArea.IsSet());
    QVERIFY(Sprite().UsedArea.Left >= 8 && Sprite().UsedArea.Top >= 470);
  }

  void aTextPreviewNeverOutlivesItsTool() {
    // A sprite B with a black block after sprite A, which waits for its text.
    NewSprite(ElementList(), 2);
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 10; ++x) ElementList()[1]->Canvas.SetPixelIndex(x, y, kBlackIndex);
    ElementList()[1]->UsedArea = TRect{0, 0, 9, 9};
    Click("SpeedButton_Sprite_Text");
    Press(0, 0);
    Release(0, 0);
    QCOMPARE(Page()->SpriteToolValue(), SpriteToolState::TextPlacing);
    QVERIFY(CountOf(kRedIndex) > 0);
    // Choosing B takes the preview off A, and moving over B paints nothing of A's.
    w_->SelectElement(1);
    QCOMPARE(Page()->SpriteToolValue(), SpriteToolState::Text);
    QCOMPARE(CountOf(kRedIndex), 0);  // sprite A
    Move(20, 20, Qt::NoButton);
    int black = 0;
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 10; ++x)
        black += ElementList()[1]->Canvas.PixelIndex(x, y) == kBlackIndex;
    QCOMPARE(black, 100);
    // Back on A: another tool ends a waiting preview as well.
    w_->SelectElement(0);
    Click("SpeedButton_Sprite_Text");
    Press(0, 0);
    Release(0, 0);
    QVERIFY(CountOf(kRedIndex) > 0);
    Click("SpeedButton_Sprite_Point");
    QCOMPARE(CountOf(kRedIndex), 0);
  }

  void aSaveWritesNoPreview() {
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 32; ++x) Sprite().Canvas.SetPixelIndex(x, y, kBlackIndex);
    Sprite().UsedArea = TRect{0, 0, 31, 23};
    Click("SpeedButton_Sprite_Text");
    Press(0, 0);
    Release(0, 0);  // the red text now covers part of the black block
    QVERIFY(CountOf(kRedIndex) > 0);
    dialogs_->files.push_back(dir_.filePath("preview.ric"));
    w_->SaveDocumentAs();
    RICElementList saved = LoadRicFile(dir_.filePath("preview.ric").toStdString());
    int black = 0;
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 32; ++x) black += saved[0]->Canvas.IsBlack(x, y);
    QCOMPARE(black, 32 * 24);
  }

  void keysOnTheViewActOnTheSpriteNotOnTheList() {
    NewSprite(ElementList(), 2);
    w_->SetListRows(2);
    w_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w_.get()));
    Find<TDrawGrid>("DrawGrid_RIC")->setFocus();  // the list was used last
    Click("SpeedButton_Sprite_Select");
    Drag(10, 480, 12, 482);
    for (int key : {Qt::Key_Delete, Qt::Key_Down}) QTest::keyClick(w_->focusWidget(), Qt::Key(key));
    QCOMPARE(ElementList().Count(), 2);
    QCOMPARE(w_->SelectedIndex(), 0);
    QCOMPARE(CountOf(kWhiteIndex), 9);  // erased as the erase button does
    // Ctrl+Z undoes the drawing, not the text of a parameter field edited before.
    Find<QSpinBox>("SpinEdit_Param00")->setFocus();
    QTest::keyClicks(Find<QSpinBox>("SpinEdit_Param00"), "5");
    const int typed = Find<QSpinBox>("SpinEdit_Param00")->value();
    Press(20, 490);
    QTest::keyClick(w_->focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(CountOf(kWhiteIndex), 0);
    QCOMPARE(Find<QSpinBox>("SpinEdit_Param00")->value(), typed);
  }

  void eachSpriteKeepsItsWorkWhileTheDocumentIsOpen() {
    Press(5, 500);
    Release(5, 500);
    Click("SpeedButton_Sprite_Select");
    Drag(5, 500, 6, 501);
    Click("SpeedButton_Sprite_Copy");
    Page()->ScrollBar_Sprite_X->setValue(3);
    Find<QSpinBox>("SpinEdit_Param00")->setValue(9);  // sprites do not depend on parameters
    QCOMPARE(Page()->Floating().Width, 2);
    QCOMPARE(Sprite().MarkedArea, (TRect{5, 500, 6, 501}));
    QCOMPARE(Page()->ScrollBar_Sprite_X->value(), 3);
    // The page's Undo button walks the one history, back past other elements' steps.
    w_->AddElement(RICElementKind::Sprite);
    w_->MoveElementUp();
    QCOMPARE(Page()->SpeedButton_Sprite_Undo->toolTip(), QString("Undo Move Sprite"));
    Click("SpeedButton_Sprite_Undo");
    Click("SpeedButton_Sprite_Undo");
    QCOMPARE(ElementList().Count(), 1);
    QCOMPARE(Px(5, 500), kBlackIndex);
    Click("SpeedButton_Sprite_Undo");
    QCOMPARE(Px(5, 500), kGreyIndex);
    QCOMPARE(w_->SelectedIndex(), 0);
  }

  void theTextPreviewEndsBeforeDoubleUndoAndCompress_data() {
    QTest::addColumn<int>("command");
    QTest::newRow("double") << 0;
    QTest::newRow("undo") << 1;
    QTest::newRow("compress") << 2;
    QTest::newRow("id edit, undone and redone") << 3;
  }

  void theTextPreviewEndsBeforeDoubleUndoAndCompress() {
    QFETCH(int, command);
    // A black block in a white used area, the red text preview over the block.
    Click("SpeedButton_Sprite_FRectangle");
    Drag(0, 448, 39, 479, Qt::RightButton);
    Drag(0, 448, 31, 471);
    Click("SpeedButton_Sprite_Text");
    Press(0, 448);
    if (command == 0) w_->DoubleElement();  // the copy is selected
    if (command == 1) Click("SpeedButton_Sprite_Undo");
    if (command == 2) Click("SpeedButton_Sprite_Minimize");
    if (command == 3) {
      Page()->SpinEdit_Sprite_ID->setValue(5);
      w_->UndoStep();
      w_->RedoStep();
    }
    Move(5, 460, Qt::NoButton);
    QCOMPARE(CountOf(kWhiteIndex), command == 0 || command == 3 ? 40 * 32 - 32 * 24
                                   : command == 1               ? 40 * 32
                                                                : 0);
    QCOMPARE(CountOf(kBlackIndex), command == 1 ? 0 : 32 * 24);
    QCOMPARE(CountOf(kRedIndex), 0);
  }

  void textInkPastTheCanvasEdgesExtendsTheUsedAreaToThem() {
    dialogs_->text = "\n l";  // no ink in the picture's first row or column
    Page()->ScrollBar_Sprite_X->setValue(Page()->ScrollBar_Sprite_X->maximum());
    Click("SpeedButton_Sprite_Text");
    for (int i = 0; i < 2; ++i) Press(1023, 511);  // the dialog, then the stamp
    QCOMPARE(Sprite().UsedArea, (TRect{1023, 511, 1023, 511}));
  }

  void anUnreadablePictureIsReportedInAMessageBox() {
    auto* import = &Page()->ImportDialog();
    QString bad = dir_.filePath("bad.png");
    QFile f(bad);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("\x89PNG\r\n\x1a\n not a picture");
    f.close();
    QVERIFY(!import->LoadPictureFile(bad));
    QCOMPARE(dialogs_->errors.size(), 1);
    QVERIFY2(dialogs_->errors[0].contains("bad.png"), qPrintable(dialogs_->errors[0]));
  }

  void aSpriteTooLargeForAFileIsShownSoWhileDrawing() {
    auto* label = Find<QLabel>("Label_Sprite_ImageSizeValue");
    QVERIFY(label->toolTip().isEmpty());
    Sprite().UsedArea = TRect{0, 0, 1023, 511};
    w_->ShowElement(0);
    QCOMPARE(label->text(), QString("1024 x 512 / 65536 bytes"));
    QVERIFY(label->toolTip().contains("65526"));
    Sprite().UsedArea = TRect{0, 0, 1023, 510};
    w_->ShowElement(0);
    QVERIFY(label->toolTip().isEmpty());
  }
  void clipboardCarriesTheMarkAsAnImageAndPastesAnyImage() {
    w_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w_.get()));
    auto key = [this](int k, Qt::KeyboardModifiers m = Qt::ControlModifier) {
      QTest::keyClick(Page()->Image_Sprite, Qt::Key(k), m);
    };
    Press(3, 500);  // (0..3, 500..501): one black pixel, the rest grey
    Click("SpeedButton_Sprite_Select");
    Drag(0, 500, 3, 501);
    key(Qt::Key_C);
    // PNG bytes only, so that handing the clipboard over at quit costs nothing.
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    QCOMPARE(mime->formats(), QStringList("image/png"));
    const QImage copied = QImage::fromData(mime->data("image/png"), "PNG");
    QCOMPARE(copied.size(), QSize(4, 2));
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 4; ++x)
        QCOMPARE(copied.pixel(x, y) & 0xFFFFFF, x == 3 && y == 0 ? QRgb(kBlack) : QRgb(kWhite));
    key(Qt::Key_X);  // cut: erased, and undone as one step
    QCOMPARE(Px(3, 500), kWhiteIndex);
    Click("SpeedButton_Sprite_Undo");
    QCOMPARE(Px(3, 500), kBlackIndex);
    key(Qt::Key_V);  // our own copy pastes back
    QCOMPARE(Page()->Floating().Width, 4);
    key(Qt::Key_Escape, Qt::NoModifier);
    // Any picture pastes, cut at the import's threshold; transparent is clear.
    QImage picture(3, 2, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    picture.setPixel(0, 0, 0xFF404040);
    picture.setPixel(1, 0, 0xFFC0C0C0);
    picture.setPixel(2, 1, 0xFF000060);
    QGuiApplication::clipboard()->setImage(picture);
    key(Qt::Key_V);
    QCOMPARE(Page()->SpriteToolValue(), SpriteToolState::Paste);
    QVERIFY(Page()->SpeedButton_Sprite_Paste->isChecked());
    QCOMPARE(Page()->Floating().Width, 3);
    QCOMPARE(Page()->Floating().Height, 2);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x)
        QCOMPARE(Page()->Floating().At(x, y),
                 (x == 0 && y == 0) || (x == 2 && y == 1) ? kFloatingSet : kFloatingClear);
    // Esc drops it and goes back to the Select tool.
    key(Qt::Key_Escape, Qt::NoModifier);
    QVERIFY(Page()->Floating().Empty());
    QCOMPARE(Page()->SpriteToolValue(), SpriteToolState::Select);
    QVERIFY(Page()->SpeedButton_Sprite_Select->isChecked());
  }

  void toolKeysCtrlAAndEscActWhileThePageIsShown() {
    w_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w_.get()));
    QVERIFY(Page()->SpeedButton_Sprite_FRectangle->toolTip().endsWith("(Shift+R)"));
    QTest::keyClick(Page()->Image_Sprite, Qt::Key_L);
    QCOMPARE(Page()->SpriteToolValue(), SpriteToolState::Line);
    QVERIFY(Page()->SpeedButton_Sprite_Line->isChecked());
    QTest::keyClick(Page()->Image_Sprite, Qt::Key_R, Qt::ShiftModifier);
    QCOMPARE(Page()->SpriteToolValue(), SpriteToolState::FilledRectangle);
    // Letters typed into a spin edit stay there.
    Page()->SpinEdit_Sprite_ID->setFocus();
    QTest::keyClick(Page()->SpinEdit_Sprite_ID, Qt::Key_E);
    QCOMPARE(Page()->SpriteToolValue(), SpriteToolState::FilledRectangle);
    Drag(10, 480, 12, 484);
    QTest::keyClick(Page()->Image_Sprite, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(Page()->SpriteToolValue(), SpriteToolState::Select);
    QCOMPARE(Sprite().MarkedArea, (TRect{10, 480, 12, 484}));
    // With the Select tool the right button opens the view's menu and keeps the mark.
    Press(11, 482, Qt::RightButton);
    auto* menu = w_->findChild<QMenu*>("Menu_Sprite_View");
    QVERIFY(menu && menu->isVisible() && menu->actions()[0]->isEnabled());
    menu->hide();
    QCOMPARE(Sprite().MarkedArea, (TRect{10, 480, 12, 484}));
    QTest::keyClick(Page()->Image_Sprite, Qt::Key_Escape);
    QVERIFY(!Sprite().MarkedArea.IsSet());
    QVERIFY(!Page()->SpeedButton_Sprite_Erase->isVisible());
  }

  void aFastPencilStrokeLeavesNoGaps() {
    Press(5, 500);
    Move(30, 510);
    Release(30, 510);
    QCOMPARE(CountOf(kBlackIndex), 26);  // one pixel a column from 5 to 30
    for (int x = 5; x <= 30; ++x) {
      int column = 0;
      for (int y = 500; y <= 510; ++y) column += Px(x, y) == kBlackIndex;
      QCOMPARE(column, 1);
    }
  }

  void wheelScrollsAndCtrlWheelZoomsAroundThePointer() {
    auto wheel = [this](QPoint pos, int delta, Qt::KeyboardModifiers m) {
      QWheelEvent e(QPointF(pos), Page()->Image_Sprite->mapToGlobal(QPointF(pos)), QPoint(),
                    QPoint(0, delta), Qt::NoButton, m, Qt::NoScrollPhase, false);
      QApplication::sendEvent(Page()->Image_Sprite, &e);
    };
    wheel(At(50, 480), 120, Qt::NoModifier);  // up by an eighth of the 64 rows
    QCOMPARE(Page()->ScrollBar_Sprite_Y->value(), 440);
    wheel(At(50, 480), -120, Qt::ShiftModifier);
    QCOMPARE(Page()->ScrollBar_Sprite_X->value(), 12);
    const QPoint pointer = At(50, 480);
    for (int i = 0; i < 2; ++i) wheel(pointer, 120, Qt::ControlModifier);
    QCOMPARE(Sprite().ZoomFactor, 12);
    QCOMPARE(Page()->MouseToSprite(pointer.x(), pointer.y()), QPoint(50, 480));
    wheel(pointer, -120, Qt::ControlModifier);
    QCOMPARE(Sprite().ZoomFactor, 8);
    QCOMPARE(Page()->MouseToSprite(pointer.x(), pointer.y()), QPoint(50, 480));
  }
};

QTEST_MAIN(SpritePageTest)
#include "spritepage_test.moc"
