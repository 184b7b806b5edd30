// TSpritePage: the page that edits a Sprite element: its id and its picture.
// The page is split by concern: SpritePage.cpp (layout, view, zoom, rulers,
// used area), SpritePageTools.cpp (drawing tools, pointer state machine)
// and SpritePageArea.cpp (marked-area operations, picture import).
// The pixel work itself is in base/SpriteTools.
#pragma once

#include <QImage>
#include <QWidget>

#include "DocumentObserver.h"
#include "RICElement.h"
#include "SpriteTools.h"

class QAction;
class QButtonGroup;
class QLabel;
class QMenu;
class QScrollBar;
class QSlider;
class QSpinBox;
class QToolButton;

namespace tavlin {

class TEditorHost;
class TNxtImage;
class TSpriteView;
class TForm_Tavlin_AddText;
class TForm_Tavlin_Import;

// The sprite page's tools and their drag states, as SpriteTool holds them.
// A shape tool's dragging state is the tool's value + 1; 4 is not used.
enum class SpriteToolState {
  Point = 1,
  Line = 2,
  LineDragging = 3,
  Rectangle = 5,
  RectangleDragging = 6,
  FilledRectangle = 7,
  FilledRectangleDragging = 8,
  Circle = 9,
  CircleDragging = 10,
  FilledCircle = 11,
  FilledCircleDragging = 12,
  Ellipse = 13,
  EllipseDragging = 14,
  FilledEllipse = 15,
  FilledEllipseDragging = 16,
  Fill = 17,
  Text = 18,
  TextPlacing = 19,  // the text picture follows the pointer
  Select = 20,
  SelectDragging = 21,
  Paste = 22,  // the floating picture follows the pointer
};
// A shape tool's state while it is dragged, and its tool again after the drag.
constexpr SpriteToolState DraggingState(SpriteToolState tool) {
  return SpriteToolState(int(tool) + 1);
}
constexpr SpriteToolState RestingState(SpriteToolState tool) {
  return SpriteToolState(int(tool) - 1);
}

// The operations on the marked area (SpriteAreaOperation's code).
enum AreaOperation : int {
  AreaScrollUp = 1,
  AreaScrollDown,
  AreaScrollLeft,
  AreaScrollRight,
  AreaMirrorHorizontal,
  AreaMirrorVertical,
  AreaRotateCounterclockwise,
  AreaRotateClockwise,
  AreaErase,
  AreaCopy,
  AreaInvert,
};

class TSpritePage : public QWidget, public DocumentObserver {
  Q_OBJECT
 public:
  // Takes a red shape or text preview off the sprite that shows it and
  // returns the tool to its resting state. It runs before the selection
  // leaves the sprite and whenever the document asks for floating work to
  // end (before every change, save, copy or export), so no preview pixels
  // outlive their tool, reach a copy, a file or the history.
  void EndPreview();
  void EndFloatingWork(const RICDocument&) override { EndPreview(); }
  // The page watches the host's document from here on, until it goes.
  TSpritePage(TEditorHost& host, QWidget* parent);
  ~TSpritePage() override;
  // The window calls this before it shows `next` (null: no element). Unless
  // next is the sprite on the page, the page ends its preview and drops the
  // floating picture.
  void SelectionChanging(const TRICElement* next);
  // Shows the sprite; the window's edit events are off meanwhile. Shown
  // again while it stays selected (a parameter changed, modify mode came
  // back, a step was undone), a sprite keeps its floating picture, mark and
  // scroll position.
  void ShowSprite(TRICElement& e);
  // The invisible picture the sprite view takes its marking colours from.
  void PaintMarkImage();

  // Sizes the view for the page area: whole blocks of kViewStep pixels, so
  // that every zoom shows whole canvas pixels. 600 x 384 at the default size.
  void ArrangeView(QSize page);
  QSize ViewArea() const { return {areaWidth_, areaHeight_}; }

  // View, zoom and used area
  void RedrawSpriteView();
  void ApplyZoom(int z);
  QPoint MouseToSprite(int x, int y) const;
  void ExtendUsedArea(int left, int top, int right, int bottom);
  void CompressSprite();
  void SetMarkedArea(int left, int top, int right, int bottom);

  // Tools
  void SetSpriteTool(SpriteToolState tool);
  SpriteToolState SpriteToolValue() const { return SpriteTool; }
  void DropFloatingImage();
  const FloatingPicture& Floating() const { return FloatingImage; }
  QPoint FloatingPosition() const { return FloatingPos; }
  // The pointer handlers of the view, in view pixels.
  void Image_SpriteMouseDown(int x, int y, Qt::MouseButtons buttons);
  void Image_SpriteMouseMove(int x, int y, Qt::MouseButtons buttons);
  void Image_SpriteMouseUp(int x, int y, Qt::MouseButtons buttons);

  // Area operations and import
  void SpriteAreaOperation(int code);
  void ImportPicture();

  // Keyboard, clipboard and wheel. Copy lifts the marked area as the Copy
  // button does and puts it on the system clipboard as a black-on-white
  // image; Cut then erases it. Paste converts the clipboard's image to black
  // and white at the import dialog's threshold and makes it the floating
  // picture. Each returns false when there was nothing to act on.
  bool CopyMarkedArea();
  bool CutMarkedArea();
  bool PasteClipboardImage();
  // The picture import and the text dialogs, made when first needed.
  TForm_Tavlin_Import& ImportDialog();
  TForm_Tavlin_AddText& AddTextDialog();
  // Ctrl+A: marks the whole used area with the Select tool.
  void MarkUsedArea();
  // Esc: ends a preview, drops the floating picture (back to the tool used
  // before it) and the mark.
  void CancelFloatingAndMark();
  // Chooses a tool as its button does.
  void ChooseTool(SpriteToolState tool);
  // One wheel step over the view at (x, y): scrolls (sideways with Shift) or
  // zooms (with Ctrl) keeping the canvas pixel under the pointer.
  void WheelOnView(int x, int y, QPoint angleDelta, Qt::KeyboardModifiers modifiers);
  void ZoomAround(int x, int y, int steps);
  // The view's menu, filled for the present state and shown at `global`.
  QMenu* ShowViewMenu(const QPoint& global);

  QSpinBox* SpinEdit_Sprite_ID = nullptr;
  QLabel* Image_Mark = nullptr;
  TSpriteView* Image_Sprite = nullptr;
  TNxtImage* Image_Sprite_X = nullptr;
  TNxtImage* Image_Sprite_Y = nullptr;
  QSlider* TrackBar_Sprite_Zoom = nullptr;
  QToolButton* SpeedButton_Sprite_ZoomNXT = nullptr;
  QScrollBar* ScrollBar_Sprite_X = nullptr;
  QScrollBar* ScrollBar_Sprite_Y = nullptr;
  QToolButton* SpeedButton_Sprite_Minimize = nullptr;
  QLabel* Label_Sprite_ImageSizeValue = nullptr;
  QLabel* Label_Sprite_VisibleAreaValue = nullptr;
  QLabel* Label_Sprite_ZoomFactorValue = nullptr;

  QToolButton* SpeedButton_Sprite_Point = nullptr;
  QToolButton* SpeedButton_Sprite_Line = nullptr;
  QToolButton* SpeedButton_Sprite_Rectangle = nullptr;
  QToolButton* SpeedButton_Sprite_FRectangle = nullptr;
  QToolButton* SpeedButton_Sprite_Circle = nullptr;
  QToolButton* SpeedButton_Sprite_FCircle = nullptr;
  QToolButton* SpeedButton_Sprite_Ellispe = nullptr;
  QToolButton* SpeedButton_Sprite_FEllispe = nullptr;
  QToolButton* SpeedButton_Sprite_Fill = nullptr;
  QToolButton* SpeedButton_Sprite_Text = nullptr;
  QToolButton* SpeedButton_Sprite_Select = nullptr;
  QToolButton* SpeedButton_Sprite_Paste = nullptr;
  QToolButton* SpeedButton_Sprite_Undo = nullptr;
  QToolButton* SpeedButton_Sprite_Import = nullptr;

  QToolButton* SpeedButton_Sprite_ScrollUp = nullptr;
  QToolButton* SpeedButton_Sprite_ScrollDown = nullptr;
  QToolButton* SpeedButton_Sprite_ScrollLeft = nullptr;
  QToolButton* SpeedButton_Sprite_ScrollRight = nullptr;
  QToolButton* SpeedButton_Sprite_MirrorLR = nullptr;
  QToolButton* SpeedButton_Sprite_MirrorUD = nullptr;
  QToolButton* SpeedButton_Sprite_RotateLeft = nullptr;
  QToolButton* SpeedButton_Sprite_RotateRight = nullptr;
  QToolButton* SpeedButton_Sprite_Erase = nullptr;
  QToolButton* SpeedButton_Sprite_Copy = nullptr;
  QToolButton* SpeedButton_Sprite_Invert = nullptr;

  QAction* Menu_Edit_Sprite_CompressSprite = nullptr;
  QAction* Menu_Edit_Sprite_ImportImage = nullptr;
  QMenu* Menu_Edit_Sprite_Draw = nullptr;
  QMenu* Menu_Edit_Sprite_MarkArea = nullptr;

  // Text picture for the Text tool (black where text); set by the add-text dialog.
  QImage TextBitmap;

 private:
  TRICElement* Sprite() const;
  // Layout, one builder per area.
  void BuildView();
  void BuildTools();
  void BuildAreaButtons();
  void BuildMenus();
  QToolButton* NewButton(const char* name, const QString& glyph, const QString& hint, int left,
                         int top);
  void PaintRulers(const TRICElement& e, int cols, int rows);
  void PlaceView(int pageHeight);
  void ShowUndoState();
  // The sprite's content was changed by a finished stroke or operation.
  void RecordStep(const char* name);
  void ShowAreaButtons(bool marked);
  void ShowPoint(const QPoint& p);

  // Drawing operations (canvas coordinates).
  void SaveShapeBackup();
  void RestoreShapeBackup();
  void DrawPoint(QPoint p, std::uint8_t colour);
  void DrawLineShape(QPoint a, QPoint b, std::uint8_t colour, bool final);
  void DrawRectShape(QPoint a, QPoint b, std::uint8_t colour, bool filled, bool final);
  void DrawCircleShape(QPoint c, int r, std::uint8_t colour, bool filled, bool final);
  void DrawEllipseShape(QPoint a, QPoint b, std::uint8_t colour, bool filled, bool final);
  void FloodFillAt(QPoint p, std::uint8_t colour);
  void StampText(QPoint p, std::uint8_t colour, bool final);
  void PlaceFloatingImage(QPoint p, bool stamp);
  void FinishDrawing();
  bool RunTextDialog();

  void SpinEdit_Sprite_IDChange();
  void TrackBar_Sprite_ZoomChange();
  void BuildShortcuts();
  void DrawPencilLine(QPoint a, QPoint b, std::uint8_t colour);

  TEditorHost& host_;
  TForm_Tavlin_AddText* addTextDialog_ = nullptr;
  TForm_Tavlin_Import* importDialog_ = nullptr;
  QButtonGroup* toolGroup_ = nullptr;
  QList<QToolButton*> areaButtons_;
  bool settingZoom_ = false;  // the track bar is being set by ApplyZoom
  static constexpr int kDefaultPageHeight = 700;
  int areaWidth_ = kViewWidth - 2;
  int areaHeight_ = kViewHeight - 2;
  // The controls under the view, with their places relative to its foot.
  QList<std::pair<QWidget*, QPoint>> belowView_;
  QImage rulerX_, rulerY_;

  // Work state of the sprite editor.
  SpriteToolState SpriteTool = SpriteToolState::Point;
  QPoint StartPoint;
  std::uint8_t DrawingColour = kBlackIndex;
  SpriteCanvas ShapeBackup;
  // The sprite whose canvas ShapeBackup was taken from.
  TRICElement* previewOwner_ = nullptr;
  // The sprite whose page this is; null while another element is shown.
  const TRICElement* shown_ = nullptr;
  FloatingPicture FloatingImage;
  QPoint FloatingPos{-1, -1};
  // The pencil's last point: each move draws a line from it.
  QPoint pencilLast_;
  // The tool chosen before the Paste tool, where Esc returns to.
  SpriteToolState restingTool_ = SpriteToolState::Point;
  QMenu* viewMenu_ = nullptr;
};

}  // namespace tavlin
