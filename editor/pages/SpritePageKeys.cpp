// The sprite page's keyboard, clipboard, wheel and menu: Esc and Ctrl+A,
// copying the marked area to the system clipboard as an image and pasting
// any image from it as the floating picture, scrolling and zooming with the
// wheel, and the view's right-click menu.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QSlider>
#include <QToolButton>
#include <algorithm>

#include "SpritePage.h"
#include "SpriteView.h"
#include "Tavlin_Import.h"

namespace tavlin {

void TSpritePage::BuildShortcuts() {
  auto shortcut = [this](const QKeySequence& keys, auto run) {
    auto* a = new QAction(this);
    a->setShortcut(keys);
    addAction(a);  // active while the page is shown
    connect(a, &QAction::triggered, this, run);
  };
  shortcut(QKeySequence(Qt::Key_Escape), [this] { CancelFloatingAndMark(); });
  shortcut(QKeySequence::SelectAll, [this] { MarkUsedArea(); });
  connect(Image_Sprite, &TSpriteView::Wheel, this,
          [this](int x, int y, QPoint angle, Qt::KeyboardModifiers modifiers) {
            WheelOnView(x, y, angle, modifiers);
          });
  connect(Image_Sprite, &TSpriteView::MenuKey, this,
          [this](int x, int y) { ShowViewMenu(Image_Sprite->mapToGlobal(QPoint(x, y))); });
}

bool TSpritePage::CopyMarkedArea() {
  TRICElement* e = Sprite();
  if (!e || !e->MarkedArea.IsSet()) return false;
  SpriteAreaOperation(AreaCopy);
  return true;
}

bool TSpritePage::CutMarkedArea() {
  if (!CopyMarkedArea()) return false;
  SpriteAreaOperation(AreaErase);  // the erase is the step
  return true;
}

bool TSpritePage::PasteClipboardImage() {
  if (!Sprite()) return false;
  QImage image = QGuiApplication::clipboard()->image();
  // Our own copies are PNG bytes only.
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  if (image.isNull() && mime && mime->hasFormat("image/png"))
    image.loadFromData(mime->data("image/png"), "PNG");
  if (image.isNull()) return false;
  // The picture is cut to the canvas; transparent pixels come out white.
  const int w = std::min(image.width(), SpriteCanvas::kWidth);
  const int h = std::min(image.height(), SpriteCanvas::kHeight);
  QImage flat(w, h, QImage::Format_RGB32);
  flat.fill(Qt::white);
  {
    QPainter p(&flat);
    p.drawImage(0, 0, image);
  }
  Picture source(w, h);
  for (int y = 0; y < h; ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(flat.constScanLine(y));
    for (int x = 0; x < w; ++x) source.At(x, y) = row[x] & 0xFFFFFF;
  }
  // Cut at the threshold the import dialog holds, as an imported picture is.
  FloatingPicture picture =
      ConvertToBlackAndWhite(source, w, h, ImportDialog().TrackBar_Brightness->value());
  ConvertToDisplay(picture);
  SetSpriteTool(SpriteToolState::Paste);
  FloatingImage = std::move(picture);
  // It shows at the view's top-left corner until the pointer moves it.
  FloatingPos = QPoint(ScrollBar_Sprite_X->value(), ScrollBar_Sprite_Y->value());
  RedrawSpriteView();
  return true;
}

void TSpritePage::MarkUsedArea() {
  TRICElement* e = Sprite();
  if (!e || !e->UsedArea.IsSet()) return;
  ChooseTool(SpriteToolState::Select);
  const TRect u = e->UsedArea;
  SetMarkedArea(u.Left, u.Top, u.Right, u.Bottom);
}

void TSpritePage::CancelFloatingAndMark() {
  TRICElement* e = Sprite();
  if (!e) return;
  EndPreview();
  if (SpriteTool == SpriteToolState::Paste) {
    ChooseTool(restingTool_);  // drops the picture and any mark
  } else if (e->MarkedArea.IsSet()) {
    SetMarkedArea(-1, -1, -1, -1);
    if (SpriteTool == SpriteToolState::SelectDragging) SpriteTool = SpriteToolState::Select;
  } else if (!FloatingImage.Empty()) {
    DropFloatingImage();
    RedrawSpriteView();
  }
}

void TSpritePage::WheelOnView(int x, int y, QPoint angle, Qt::KeyboardModifiers modifiers) {
  TRICElement* e = Sprite();
  const int delta = angle.y() != 0 ? angle.y() : angle.x();
  if (!e || delta == 0) return;
  if (modifiers & Qt::ControlModifier) {
    ZoomAround(x, y, delta > 0 ? 1 : -1);
    return;
  }
  const bool sideways = (modifiers & Qt::ShiftModifier) || angle.y() == 0;
  QScrollBar* bar = sideways ? ScrollBar_Sprite_X : ScrollBar_Sprite_Y;
  // A notch moves an eighth of the view; a touchpad's small turns at least a pixel.
  const int visible = (sideways ? areaWidth_ : areaHeight_) / e->ZoomFactor;
  int step = std::max(1, visible / 8) * delta / 120;
  if (step == 0) step = delta > 0 ? 1 : -1;
  bar->setValue(bar->value() - step);
}

void TSpritePage::ZoomAround(int x, int y, int steps) {
  TRICElement* e = Sprite();
  if (!e) return;
  const int z = ZoomFactors[std::size_t(std::clamp(ZoomIndex(e->ZoomFactor) + steps, 0, 7))];
  if (z == e->ZoomFactor) return;
  const QPoint under = MouseToSprite(x, y);
  ApplyZoom(z);
  // Scrolled so that the same canvas pixel maps to (x, y) again, as far as
  // the canvas edges allow.
  settingZoom_ = true;
  ScrollBar_Sprite_X->setValue(under.x() - (x - 1) / z);
  ScrollBar_Sprite_Y->setValue(under.y() - (y - 1) / z);
  settingZoom_ = false;
  RedrawSpriteView();
}

QMenu* TSpritePage::ShowViewMenu(const QPoint& global) {
  TRICElement* e = Sprite();
  if (!e) return nullptr;
  if (!viewMenu_) {
    viewMenu_ = new QMenu(this);
    viewMenu_->setObjectName("Menu_Sprite_View");
  }
  viewMenu_->clear();
  auto add = [this](const QString& text, bool enabled, auto run) {
    QAction* a = viewMenu_->addAction(text);
    a->setEnabled(enabled);
    connect(a, &QAction::triggered, this, run);
  };
  const bool marked = e->MarkedArea.IsSet();
  add("Cu&t\tCtrl+X", marked, [this] { CutMarkedArea(); });
  add("&Copy\tCtrl+C", marked, [this] { CopyMarkedArea(); });
  add("&Paste\tCtrl+V", !QGuiApplication::clipboard()->image().isNull(),
      [this] { PasteClipboardImage(); });
  add("Select &all\tCtrl+A", e->UsedArea.IsSet(), [this] { MarkUsedArea(); });
  if (marked) {
    viewMenu_->addSeparator();
    const std::pair<const char*, int> operations[] = {
        {"Rotate clockwise", AreaRotateClockwise},
        {"Rotate counterclockwise", AreaRotateCounterclockwise},
        {"Mirror horizontal", AreaMirrorHorizontal},
        {"Mirror vertical", AreaMirrorVertical},
        {"Scroll up", AreaScrollUp},
        {"Scroll down", AreaScrollDown},
        {"Scroll left", AreaScrollLeft},
        {"Scroll right", AreaScrollRight},
        {"Erase area", AreaErase},
        {"Invert area", AreaInvert}};
    for (const auto& [text, code] : operations)
      add(text, true, [this, code = code] { SpriteAreaOperation(code); });
  }
  if (SpriteTool == SpriteToolState::Paste || marked) {
    viewMenu_->addSeparator();
    add(SpriteTool == SpriteToolState::Paste ? "Drop the picture\tEsc" : "Unmark\tEsc", true,
        [this] { CancelFloatingAndMark(); });
  }
  viewMenu_->popup(global);
  return viewMenu_;
}

}  // namespace tavlin
