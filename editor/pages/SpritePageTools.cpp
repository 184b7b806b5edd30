// The sprite page's drawing tools: the tool buttons, the pointer state
// machine over the view, the shape previews, the text and paste tools and
// the Undo button.
#include <QAction>
#include <QButtonGroup>
#include <QDialog>
#include <QMenu>
#include <QToolButton>
#include <cstdlib>

#include "Document.h"
#include "EditorHost.h"
#include "SpritePage.h"
#include "SpriteView.h"
#include "Tavlin_AddText.h"
#include "UserDialogs.h"

namespace tavlin {

namespace {
// The name of the step a drawing tool makes.
const char* ToolStepName(SpriteToolState tool) {
  if (tool <= SpriteToolState::Point) return "Draw Points";
  if (tool <= SpriteToolState::LineDragging) return "Draw Line";
  if (tool <= SpriteToolState::FilledRectangleDragging) return "Draw Rectangle";
  if (tool <= SpriteToolState::FilledCircleDragging) return "Draw Circle";
  if (tool <= SpriteToolState::FilledEllipseDragging) return "Draw Ellipse";
  if (tool == SpriteToolState::Fill) return "Fill Area";
  if (tool <= SpriteToolState::TextPlacing) return "Draw Text";
  return "Paste";
}
}  // namespace

void TSpritePage::BuildTools() {
  toolGroup_ = new QButtonGroup(this);
  toolGroup_->setExclusive(true);
  // The keys are those of common paint programs; Shift gives the filled shape.
  const struct {
    QToolButton** member;
    const char* name;
    const char* glyph;
    const char* hint;
    SpriteToolState tool;
    const char* key;
  } tools[] = {
      {&SpeedButton_Sprite_Point, "SpeedButton_Sprite_Point", "point", "Draw single point",
       SpriteToolState::Point, "P"},
      {&SpeedButton_Sprite_Line, "SpeedButton_Sprite_Line", "line", "Draw a line",
       SpriteToolState::Line, "L"},
      {&SpeedButton_Sprite_Rectangle, "SpeedButton_Sprite_Rectangle", "rect", "Draw rectangle",
       SpriteToolState::Rectangle, "R"},
      {&SpeedButton_Sprite_FRectangle, "SpeedButton_Sprite_FRectangle", "frect",
       "Draw filled rectangle", SpriteToolState::FilledRectangle, "Shift+R"},
      {&SpeedButton_Sprite_Circle, "SpeedButton_Sprite_Circle", "circle", "Draw circle",
       SpriteToolState::Circle, "C"},
      {&SpeedButton_Sprite_FCircle, "SpeedButton_Sprite_FCircle", "fcircle", "Draw filled circle",
       SpriteToolState::FilledCircle, "Shift+C"},
      {&SpeedButton_Sprite_Ellispe, "SpeedButton_Sprite_Ellispe", "ellipse", "Draw ellipse",
       SpriteToolState::Ellipse, "E"},
      {&SpeedButton_Sprite_FEllispe, "SpeedButton_Sprite_FEllispe", "fellipse",
       "Draw filled ellipse", SpriteToolState::FilledEllipse, "Shift+E"},
      {&SpeedButton_Sprite_Fill, "SpeedButton_Sprite_Fill", "fill", "Fill region",
       SpriteToolState::Fill, "F"},
      {&SpeedButton_Sprite_Text, "SpeedButton_Sprite_Text", "text", "Insert a text",
       SpriteToolState::Text, "T"},
      {&SpeedButton_Sprite_Select, "SpeedButton_Sprite_Select", "select", "Mark a selected area",
       SpriteToolState::Select, "S"},
      {&SpeedButton_Sprite_Paste, "SpeedButton_Sprite_Paste", "paste",
       "Insert selection from clipboard", SpriteToolState::Paste, "V"},
  };
  int x = 140;
  for (const auto& t : tools) {
    const QString hint = QString("%1 (%2)").arg(t.hint, t.key);
    QToolButton* b = NewButton(t.name, t.glyph, hint, x, 37);
    b->setCheckable(true);
    toolGroup_->addButton(b, int(t.tool));
    connect(b, &QToolButton::clicked, this, [this, tool = t.tool] { SetSpriteTool(tool); });
    // The page's own shortcut: it acts while the page is shown, and a spin
    // edit being typed in keeps its letters.
    auto* key = new QAction(hint, this);
    key->setShortcut(QKeySequence(t.key));
    addAction(key);
    connect(key, &QAction::triggered, this, [this, tool = t.tool] { ChooseTool(tool); });
    *t.member = b;
    x += 25;
  }
  SpeedButton_Sprite_Point->setChecked(true);
  SpeedButton_Sprite_Paste->hide();
  // The document's one history: the button takes back the last step, whatever it was.
  SpeedButton_Sprite_Undo =
      NewButton("SpeedButton_Sprite_Undo", "undo", "Undo last modification", x + 12, 37);
  connect(SpeedButton_Sprite_Undo, &QToolButton::clicked, this, [this] { host_.UndoStep(); });
  connect(host_.UndoAction(), &QAction::changed, this, [this] { ShowUndoState(); });
  SpeedButton_Sprite_Import =
      NewButton("SpeedButton_Sprite_Import", "import", "Import picture from file", x + 44, 37);
  connect(SpeedButton_Sprite_Import, &QToolButton::clicked, this, [this] { ImportPicture(); });
}

void TSpritePage::ChooseTool(SpriteToolState tool) {
  if (tool == SpriteToolState::Paste && FloatingImage.Empty()) return;
  if (QAbstractButton* b = toolGroup_->button(int(tool))) b->setChecked(true);
  SetSpriteTool(tool);
}

void TSpritePage::SetSpriteTool(SpriteToolState tool) {
  EndPreview();
  SetMarkedArea(-1, -1, -1, -1);
  if (tool == SpriteToolState::Paste) {
    SpeedButton_Sprite_Paste->show();
    SpeedButton_Sprite_Paste->setChecked(true);
  } else {
    DropFloatingImage();
    RedrawSpriteView();
  }
  SpriteTool = tool;
  if (tool != SpriteToolState::Paste) restingTool_ = tool;
}

void TSpritePage::DropFloatingImage() {
  FloatingImage.Clear();
  FloatingPos = QPoint(-1, -1);
  if (SpeedButton_Sprite_Paste->isChecked()) {
    // The paste button leaves the group's pressed state to the current tool.
    toolGroup_->setExclusive(false);
    SpeedButton_Sprite_Paste->setChecked(false);
    toolGroup_->setExclusive(true);
  }
  SpeedButton_Sprite_Paste->hide();
}

// ---- undo ----

void TSpritePage::ShowUndoState() {
  const QAction* undo = host_.UndoAction();
  SpeedButton_Sprite_Undo->setVisible(undo->isEnabled());
  SpeedButton_Sprite_Undo->setToolTip(undo->text().remove('&'));
}

void TSpritePage::RecordStep(const char* name) {
  if (Sprite()) host_.SelectedElementEdited(name);
}

// ---- pointer ----

void TSpritePage::ShowPoint(const QPoint& p) {
  host_.ShowPointerPosition(p.x(), SpriteCanvas::kHeight - 1 - p.y());
}

void TSpritePage::Image_SpriteMouseDown(int x, int y, Qt::MouseButtons buttons) {
  if (!Sprite()) return;
  // The right button draws white with the drawing tools; with Select and
  // Paste it opens the view's menu.
  if (buttons == Qt::RightButton &&
      (SpriteTool == SpriteToolState::Select || SpriteTool == SpriteToolState::Paste)) {
    ShowViewMenu(Image_Sprite->mapToGlobal(QPoint(x, y)));
    return;
  }
  QPoint p = MouseToSprite(x, y);
  ShowPoint(p);
  StartPoint = p;
  if (buttons & Qt::LeftButton) DrawingColour = kBlackIndex;
  if (buttons & Qt::RightButton) DrawingColour = kWhiteIndex;
  const bool left = buttons & Qt::LeftButton, right = buttons & Qt::RightButton;
  switch (SpriteTool) {
    case SpriteToolState::Point:
      if (left) DrawPoint(p, kBlackIndex);
      if (right) DrawPoint(p, kWhiteIndex);
      pencilLast_ = p;
      break;
    case SpriteToolState::Line:
      SaveShapeBackup();
      DrawLineShape(p, p, DrawingColour, false);
      SpriteTool = SpriteToolState::LineDragging;
      break;
    case SpriteToolState::Rectangle:
    case SpriteToolState::FilledRectangle:
      SaveShapeBackup();
      DrawRectShape(p, p, DrawingColour, SpriteTool == SpriteToolState::FilledRectangle, false);
      SpriteTool = DraggingState(SpriteTool);
      break;
    case SpriteToolState::Circle:
    case SpriteToolState::FilledCircle:
      SaveShapeBackup();
      DrawCircleShape(p, 1, DrawingColour, SpriteTool == SpriteToolState::FilledCircle, false);
      SpriteTool = DraggingState(SpriteTool);
      break;
    case SpriteToolState::Ellipse:
    case SpriteToolState::FilledEllipse:
      SaveShapeBackup();
      DrawEllipseShape(p, p, DrawingColour, SpriteTool == SpriteToolState::FilledEllipse, false);
      SpriteTool = DraggingState(SpriteTool);
      break;
    case SpriteToolState::Fill:
      FloodFillAt(p, DrawingColour);
      RecordStep(ToolStepName(SpriteToolState::Fill));
      break;
    case SpriteToolState::Text:
      if (RunTextDialog()) {
        SaveShapeBackup();
        StampText(StartPoint, DrawingColour, false);
        SpriteTool = SpriteToolState::TextPlacing;
      }
      break;
    case SpriteToolState::TextPlacing:
      StampText(p, DrawingColour, true);
      SpriteTool = SpriteToolState::Text;
      RecordStep(ToolStepName(SpriteToolState::TextPlacing));
      break;
    case SpriteToolState::Select:
      SaveShapeBackup();
      SetMarkedArea(p.x(), p.y(), p.x(), p.y());
      SpriteTool = SpriteToolState::SelectDragging;
      break;
    case SpriteToolState::Paste:
      if (left) PlaceFloatingImage(p, true);
      break;
    default:
      break;
  }
}

void TSpritePage::Image_SpriteMouseMove(int x, int y, Qt::MouseButtons buttons) {
  if (!Sprite()) return;
  QPoint p = MouseToSprite(x, y);
  ShowPoint(p);
  const QPoint s = StartPoint;
  switch (SpriteTool) {
    case SpriteToolState::Point:
      // A line from the last point, so a fast stroke leaves no gaps.
      if (buttons & Qt::LeftButton) DrawPencilLine(pencilLast_, p, kBlackIndex);
      if (buttons & Qt::RightButton) DrawPencilLine(pencilLast_, p, kWhiteIndex);
      pencilLast_ = p;
      break;
    case SpriteToolState::LineDragging:
      DrawLineShape(s, p, DrawingColour, false);
      break;
    case SpriteToolState::RectangleDragging:
    case SpriteToolState::FilledRectangleDragging:
      DrawRectShape(s, p, DrawingColour, SpriteTool == SpriteToolState::FilledRectangleDragging,
                    false);
      break;
    case SpriteToolState::CircleDragging:
    case SpriteToolState::FilledCircleDragging:
      DrawCircleShape(s, std::max(std::abs(s.x() - p.x()), std::abs(s.y() - p.y())), DrawingColour,
                      SpriteTool == SpriteToolState::FilledCircleDragging, false);
      break;
    case SpriteToolState::EllipseDragging:
    case SpriteToolState::FilledEllipseDragging:
      DrawEllipseShape(s, p, DrawingColour, SpriteTool == SpriteToolState::FilledEllipseDragging,
                       false);
      break;
    case SpriteToolState::TextPlacing:
      StampText(p, DrawingColour, false);
      break;
    case SpriteToolState::SelectDragging:
      SetMarkedArea(s.x(), s.y(), p.x(), p.y());
      break;
    case SpriteToolState::Paste:
      PlaceFloatingImage(p, buttons & Qt::LeftButton);
      break;
    default:
      break;
  }
}

void TSpritePage::Image_SpriteMouseUp(int x, int y, Qt::MouseButtons) {
  if (!Sprite()) return;
  QPoint p = MouseToSprite(x, y);
  ShowPoint(p);
  const QPoint s = StartPoint;
  const SpriteToolState tool = SpriteTool;
  switch (SpriteTool) {
    case SpriteToolState::LineDragging:
      DrawLineShape(s, p, DrawingColour, true);
      SpriteTool = SpriteToolState::Line;
      break;
    case SpriteToolState::RectangleDragging:
    case SpriteToolState::FilledRectangleDragging:
      DrawRectShape(s, p, DrawingColour, SpriteTool == SpriteToolState::FilledRectangleDragging,
                    true);
      SpriteTool = RestingState(SpriteTool);
      break;
    case SpriteToolState::CircleDragging:
    case SpriteToolState::FilledCircleDragging:
      DrawCircleShape(s, std::max(std::abs(s.x() - p.x()), std::abs(s.y() - p.y())), DrawingColour,
                      SpriteTool == SpriteToolState::FilledCircleDragging, true);
      SpriteTool = RestingState(SpriteTool);
      break;
    case SpriteToolState::EllipseDragging:
    case SpriteToolState::FilledEllipseDragging:
      DrawEllipseShape(s, p, DrawingColour, SpriteTool == SpriteToolState::FilledEllipseDragging,
                       true);
      SpriteTool = RestingState(SpriteTool);
      break;
    case SpriteToolState::SelectDragging:
      SpriteTool = SpriteToolState::Select;
      break;
    default:
      break;
  }
  // The stroke is finished, its preview replaced by the shape: one step.
  if (tool != SpriteToolState::Text && tool != SpriteToolState::TextPlacing &&
      tool != SpriteToolState::SelectDragging)
    RecordStep(ToolStepName(tool));
}

// ---- drawing operations ----

void TSpritePage::SaveShapeBackup() {
  if (TRICElement* e = Sprite()) {
    ShapeBackup = e->Canvas;
    previewOwner_ = e;
  }
}

void TSpritePage::EndPreview() {
  // The resting tool of each state that has a preview on the canvas.
  SpriteToolState rest;
  switch (SpriteTool) {
    case SpriteToolState::LineDragging:
      rest = SpriteToolState::Line;
      break;
    case SpriteToolState::RectangleDragging:
    case SpriteToolState::FilledRectangleDragging:
    case SpriteToolState::CircleDragging:
    case SpriteToolState::FilledCircleDragging:
    case SpriteToolState::EllipseDragging:
    case SpriteToolState::FilledEllipseDragging:
      rest = RestingState(SpriteTool);
      break;
    case SpriteToolState::TextPlacing:
      rest = SpriteToolState::Text;
      break;
    default:
      return;
  }
  // The owner may have left the document already; only a listed element is touched.
  for (const ElementPtr& e : host_.Document().ElementList())
    if (e.get() == previewOwner_) previewOwner_->Canvas = ShapeBackup;
  previewOwner_ = nullptr;
  SpriteTool = rest;
  if (Sprite()) RedrawSpriteView();
}

void TSpritePage::RestoreShapeBackup() {
  if (TRICElement* e = Sprite()) e->Canvas = ShapeBackup;
}

void TSpritePage::FinishDrawing() { RedrawSpriteView(); }

void TSpritePage::DrawPoint(QPoint p, std::uint8_t colour) {
  TRICElement* e = Sprite();
  e->Canvas.SetPixelIndex(p.x(), p.y(), colour);
  ExtendUsedArea(p.x(), p.y(), p.x(), p.y());
  FinishDrawing();
}

void TSpritePage::DrawPencilLine(QPoint a, QPoint b, std::uint8_t colour) {
  TRICElement* e = Sprite();
  DrawLine(e->Canvas, a.x(), a.y(), b.x(), b.y(), colour);
  ExtendUsedArea(a.x(), a.y(), b.x(), b.y());
  FinishDrawing();
}

void TSpritePage::DrawLineShape(QPoint a, QPoint b, std::uint8_t colour, bool final) {
  TRICElement* e = Sprite();
  RestoreShapeBackup();
  DrawLine(e->Canvas, a.x(), a.y(), b.x(), b.y(), final ? colour : kRedIndex);
  if (final) ExtendUsedArea(a.x(), a.y(), b.x(), b.y());
  FinishDrawing();
}

void TSpritePage::DrawRectShape(QPoint a, QPoint b, std::uint8_t colour, bool filled, bool final) {
  TRICElement* e = Sprite();
  RestoreShapeBackup();
  tavlin::DrawRectShape(e->Canvas, a.x(), a.y(), b.x(), b.y(), final ? colour : kRedIndex, filled);
  if (final) ExtendUsedArea(a.x(), a.y(), b.x(), b.y());
  FinishDrawing();
}

void TSpritePage::DrawCircleShape(QPoint c, int r, std::uint8_t colour, bool filled, bool final) {
  TRICElement* e = Sprite();
  RestoreShapeBackup();
  tavlin::DrawCircleShape(e->Canvas, c.x(), c.y(), r, final ? colour : kRedIndex, filled);
  if (final) ExtendUsedArea(c.x() - r, c.y() - r, c.x() + r, c.y() + r);
  FinishDrawing();
}

void TSpritePage::DrawEllipseShape(QPoint a, QPoint b, std::uint8_t colour, bool filled,
                                   bool final) {
  TRICElement* e = Sprite();
  RestoreShapeBackup();
  tavlin::DrawEllipseShape(e->Canvas, a.x(), a.y(), b.x(), b.y(), final ? colour : kRedIndex,
                           filled);
  if (final) ExtendUsedArea(a.x(), a.y(), b.x(), b.y());
  FinishDrawing();
}

void TSpritePage::FloodFillAt(QPoint p, std::uint8_t colour) {
  TRICElement* e = Sprite();
  FloodFill(e->Canvas, p.x(), p.y(), colour);
  FinishDrawing();
}

bool TSpritePage::RunTextDialog() {
  if (host_.Dialogs().RunModal(&AddTextDialog()) != QDialog::Accepted) return false;
  TextBitmap = AddTextDialog().TextBitmap();
  return true;
}

void TSpritePage::StampText(QPoint p, std::uint8_t colour, bool final) {
  TRICElement* e = Sprite();
  RestoreShapeBackup();
  const QImage text = TextBitmap.convertToFormat(QImage::Format_RGB32);
  const std::uint8_t c = final ? colour : kRedIndex;
  auto ink = [&text](int i, int j) {
    return (reinterpret_cast<const QRgb*>(text.constScanLine(j))[i] & 0xFFFFFF) == 0;
  };
  // Only the part of the picture that can land on the canvas is painted, so a
  // huge text previews no slower than one the size of the canvas.
  const int rows = std::min(text.height(), std::max(0, SpriteCanvas::kHeight - p.y()));
  const int columns = std::min(text.width(), std::max(0, SpriteCanvas::kWidth - p.x()));
  for (int j = 0; j < rows; ++j)
    for (int i = 0; i < columns; ++i)
      if (ink(i, j)) e->Canvas.SetPixelIndex(p.x() + i, p.y() + j, c);
  if (final) {
    // Extending over the box of all the ink covers every single-pixel
    // extension at once; ExtendUsedArea clamps it, so ink beyond the right or
    // bottom edge extends the used area to that edge.
    TRect inked = kUnsetRect;
    for (int j = 0; j < text.height(); ++j)
      for (int i = 0; i < text.width(); ++i)
        if (ink(i, j))
          inked = inked.IsSet() ? TRect{std::min(inked.Left, i), std::min(inked.Top, j),
                                        std::max(inked.Right, i), std::max(inked.Bottom, j)}
                                : TRect{i, j, i, j};
    if (inked.IsSet())
      ExtendUsedArea(p.x() + inked.Left, p.y() + inked.Top, p.x() + inked.Right,
                     p.y() + inked.Bottom);
  }
  FinishDrawing();
}

void TSpritePage::PlaceFloatingImage(QPoint p, bool stamp) {
  TRICElement* e = Sprite();
  FloatingPos = p;
  if (!stamp || FloatingImage.Empty()) {
    RedrawSpriteView();
    return;
  }
  StampPicture(e->Canvas, FloatingImage, p.x(), p.y());
  ExtendUsedArea(p.x(), p.y(), p.x() + FloatingImage.Width - 1, p.y() + FloatingImage.Height - 1);
  FinishDrawing();
}

}  // namespace tavlin
