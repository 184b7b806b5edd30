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
const char* ToolStepName(int tool) {
  if (tool <= ToolPoint) return "Draw Points";
  if (tool <= ToolLineDragging) return "Draw Line";
  if (tool <= ToolFilledRectangleDragging) return "Draw Rectangle";
  if (tool <= ToolFilledCircleDragging) return "Draw Circle";
  if (tool <= ToolFilledEllipseDragging) return "Draw Ellipse";
  if (tool == ToolFill) return "Fill Area";
  if (tool <= ToolTextPlacing) return "Draw Text";
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
    int tool;
    const char* key;
  } tools[] = {
      {&SpeedButton_Sprite_Point, "SpeedButton_Sprite_Point", "point", "Draw single point",
       ToolPoint, "P"},
      {&SpeedButton_Sprite_Line, "SpeedButton_Sprite_Line", "line", "Draw a line", ToolLine, "L"},
      {&SpeedButton_Sprite_Rectangle, "SpeedButton_Sprite_Rectangle", "rect", "Draw rectangle",
       ToolRectangle, "R"},
      {&SpeedButton_Sprite_FRectangle, "SpeedButton_Sprite_FRectangle", "frect",
       "Draw filled rectangle", ToolFilledRectangle, "Shift+R"},
      {&SpeedButton_Sprite_Circle, "SpeedButton_Sprite_Circle", "circle", "Draw circle", ToolCircle,
       "C"},
      {&SpeedButton_Sprite_FCircle, "SpeedButton_Sprite_FCircle", "fcircle", "Draw filled circle",
       11, "Shift+C"},
      {&SpeedButton_Sprite_Ellispe, "SpeedButton_Sprite_Ellispe", "ellipse", "Draw ellipse",
       ToolEllipse, "E"},
      {&SpeedButton_Sprite_FEllispe, "SpeedButton_Sprite_FEllispe", "fellipse",
       "Draw filled ellipse", ToolFilledEllipse, "Shift+E"},
      {&SpeedButton_Sprite_Fill, "SpeedButton_Sprite_Fill", "fill", "Fill region", ToolFill, "F"},
      {&SpeedButton_Sprite_Text, "SpeedButton_Sprite_Text", "text", "Insert a text", ToolText, "T"},
      {&SpeedButton_Sprite_Select, "SpeedButton_Sprite_Select", "select", "Mark a selected area",
       20, "S"},
      {&SpeedButton_Sprite_Paste, "SpeedButton_Sprite_Paste", "paste",
       "Insert selection from clipboard", ToolPaste, "V"},
  };
  int x = 140;
  for (const auto& t : tools) {
    const QString hint = QString("%1 (%2)").arg(t.hint, t.key);
    QToolButton* b = NewButton(t.name, t.glyph, hint, x, 37);
    b->setCheckable(true);
    toolGroup_->addButton(b, t.tool);
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

void TSpritePage::ChooseTool(int tool) {
  if (tool == ToolPaste && FloatingImage.Empty()) return;
  if (QAbstractButton* b = toolGroup_->button(tool)) b->setChecked(true);
  SetSpriteTool(tool);
}

void TSpritePage::SetSpriteTool(int tool) {
  EndPreview();
  SetMarkedArea(-1, -1, -1, -1);
  if (tool == ToolPaste) {
    SpeedButton_Sprite_Paste->show();
    SpeedButton_Sprite_Paste->setChecked(true);
  } else {
    DropFloatingImage();
    RedrawSpriteView();
  }
  SpriteTool = tool;
  if (tool != ToolPaste) restingTool_ = tool;
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
  if (buttons == Qt::RightButton && (SpriteTool == ToolSelect || SpriteTool == ToolPaste)) {
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
    case ToolPoint:
      if (left) DrawPoint(p, kBlackIndex);
      if (right) DrawPoint(p, kWhiteIndex);
      pencilLast_ = p;
      break;
    case ToolLine:
      SaveShapeBackup();
      DrawLineShape(p, p, DrawingColour, false);
      SpriteTool = ToolLineDragging;
      break;
    case ToolRectangle:
    case ToolFilledRectangle:
      SaveShapeBackup();
      DrawRectShape(p, p, DrawingColour, SpriteTool == ToolFilledRectangle, false);
      ++SpriteTool;
      break;
    case ToolCircle:
    case ToolFilledCircle:
      SaveShapeBackup();
      DrawCircleShape(p, 1, DrawingColour, SpriteTool == ToolFilledCircle, false);
      ++SpriteTool;
      break;
    case ToolEllipse:
    case ToolFilledEllipse:
      SaveShapeBackup();
      DrawEllipseShape(p, p, DrawingColour, SpriteTool == ToolFilledEllipse, false);
      ++SpriteTool;
      break;
    case ToolFill:
      FloodFillAt(p, DrawingColour);
      RecordStep(ToolStepName(ToolFill));
      break;
    case ToolText:
      if (RunTextDialog()) {
        SaveShapeBackup();
        StampText(StartPoint, DrawingColour, false);
        SpriteTool = ToolTextPlacing;
      }
      break;
    case ToolTextPlacing:
      StampText(p, DrawingColour, true);
      SpriteTool = ToolText;
      RecordStep(ToolStepName(ToolTextPlacing));
      break;
    case ToolSelect:
      SaveShapeBackup();
      SetMarkedArea(p.x(), p.y(), p.x(), p.y());
      SpriteTool = ToolSelectDragging;
      break;
    case ToolPaste:
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
    case ToolPoint:
      // A line from the last point, so a fast stroke leaves no gaps.
      if (buttons & Qt::LeftButton) DrawPencilLine(pencilLast_, p, kBlackIndex);
      if (buttons & Qt::RightButton) DrawPencilLine(pencilLast_, p, kWhiteIndex);
      pencilLast_ = p;
      break;
    case ToolLineDragging:
      DrawLineShape(s, p, DrawingColour, false);
      break;
    case ToolRectangleDragging:
    case ToolFilledRectangleDragging:
      DrawRectShape(s, p, DrawingColour, SpriteTool == ToolFilledRectangleDragging, false);
      break;
    case ToolCircleDragging:
    case ToolFilledCircleDragging:
      DrawCircleShape(s, std::max(std::abs(s.x() - p.x()), std::abs(s.y() - p.y())), DrawingColour,
                      SpriteTool == ToolFilledCircleDragging, false);
      break;
    case ToolEllipseDragging:
    case ToolFilledEllipseDragging:
      DrawEllipseShape(s, p, DrawingColour, SpriteTool == ToolFilledEllipseDragging, false);
      break;
    case ToolTextPlacing:
      StampText(p, DrawingColour, false);
      break;
    case ToolSelectDragging:
      SetMarkedArea(s.x(), s.y(), p.x(), p.y());
      break;
    case ToolPaste:
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
  const int tool = SpriteTool;
  switch (SpriteTool) {
    case ToolLineDragging:
      DrawLineShape(s, p, DrawingColour, true);
      SpriteTool = ToolLine;
      break;
    case ToolRectangleDragging:
    case ToolFilledRectangleDragging:
      DrawRectShape(s, p, DrawingColour, SpriteTool == ToolFilledRectangleDragging, true);
      --SpriteTool;
      break;
    case ToolCircleDragging:
    case ToolFilledCircleDragging:
      DrawCircleShape(s, std::max(std::abs(s.x() - p.x()), std::abs(s.y() - p.y())), DrawingColour,
                      SpriteTool == ToolFilledCircleDragging, true);
      --SpriteTool;
      break;
    case ToolEllipseDragging:
    case ToolFilledEllipseDragging:
      DrawEllipseShape(s, p, DrawingColour, SpriteTool == ToolFilledEllipseDragging, true);
      --SpriteTool;
      break;
    case ToolSelectDragging:
      SpriteTool = ToolSelect;
      break;
    default:
      break;
  }
  // The stroke is finished, its preview replaced by the shape: one step.
  if (tool != ToolText && tool != ToolTextPlacing && tool != ToolSelectDragging)
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
  int rest = 0;
  switch (SpriteTool) {
    case ToolLineDragging:
      rest = ToolLine;
      break;
    case ToolRectangleDragging:
    case ToolFilledRectangleDragging:
    case ToolCircleDragging:
    case ToolFilledCircleDragging:
    case ToolEllipseDragging:
    case ToolFilledEllipseDragging:
      rest = SpriteTool - 1;
      break;
    case ToolTextPlacing:
      rest = ToolText;
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
