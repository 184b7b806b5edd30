// The sprite page's marked-area operations (scroll, mirror, rotate, erase,
// copy, invert) and the picture import into the floating picture.
#include <QBuffer>
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QMimeData>
#include <QSpinBox>
#include <QToolButton>
#include <algorithm>

#include "EditorHost.h"
#include "SpritePage.h"
#include "Tavlin_Import.h"
#include "UserDialogs.h"

namespace tavlin {

namespace {

// The floating picture as a black-on-white image that other programs can paste.
QImage ClipboardImage(FloatingPicture picture) {
  ConvertToCanvas(picture);
  QImage image(picture.Width, picture.Height, QImage::Format_RGB32);
  for (int y = 0; y < picture.Height; ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < picture.Width; ++x) row[x] = 0xFF000000u | picture.At(x, y);
  }
  return image;
}

QMimeData* ClipboardPng(const QImage& image) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  auto* mime = new QMimeData;
  mime->setData("image/png", png);
  return mime;
}

}  // namespace

void TSpritePage::BuildAreaButtons() {
  const struct {
    QToolButton** member;
    const char* name;
    const char* glyph;
    const char* hint;
    int code;
  } buttons[] = {
      {&SpeedButton_Sprite_ScrollUp, "SpeedButton_Sprite_ScrollUp", "scrollup",
       "Scroll selection one pixel up", AreaScrollUp},
      {&SpeedButton_Sprite_ScrollDown, "SpeedButton_Sprite_ScrollDown", "scrolldown",
       "Scroll selection one pixel down", AreaScrollDown},
      {&SpeedButton_Sprite_ScrollLeft, "SpeedButton_Sprite_ScrollLeft", "scrollleft",
       "Scroll selection one pixel left", AreaScrollLeft},
      {&SpeedButton_Sprite_ScrollRight, "SpeedButton_Sprite_ScrollRight", "scrollright",
       "Scroll selection one pixel right", AreaScrollRight},
      {&SpeedButton_Sprite_MirrorLR, "SpeedButton_Sprite_MirrorLR", "mirrorlr",
       "Mirror selected area horizontal", AreaMirrorHorizontal},
      {&SpeedButton_Sprite_MirrorUD, "SpeedButton_Sprite_MirrorUD", "mirrorud",
       "Mirror selected area vertical", AreaMirrorVertical},
      {&SpeedButton_Sprite_RotateLeft, "SpeedButton_Sprite_RotateLeft", "rotateleft",
       "Rotate selection counter clockwise", AreaRotateCounterclockwise},
      {&SpeedButton_Sprite_RotateRight, "SpeedButton_Sprite_RotateRight", "rotateright",
       "Rotate selection clockwise", AreaRotateClockwise},
      {&SpeedButton_Sprite_Erase, "SpeedButton_Sprite_Erase", "erase", "Delete selected area",
       AreaErase},
      {&SpeedButton_Sprite_Copy, "SpeedButton_Sprite_Copy", "copy", "Copy selection to clipboard",
       AreaCopy},
      {&SpeedButton_Sprite_Invert, "SpeedButton_Sprite_Invert", "invert", "Invers selected area",
       AreaInvert},
  };
  int x = 140;
  for (const auto& b : buttons) {
    QToolButton* button = NewButton(b.name, b.glyph, b.hint, x, 65);
    connect(button, &QToolButton::clicked, this,
            [this, code = b.code] { SpriteAreaOperation(code); });
    *b.member = button;
    areaButtons_ << button;
    x += 25;
  }
}

void TSpritePage::SpriteAreaOperation(int code) {
  TRICElement* e = Sprite();
  if (!e || !e->MarkedArea.IsSet() || code < AreaScrollUp || code > AreaInvert) return;
  const TRect m = e->MarkedArea;
  if (code <= AreaMirrorVertical || code == AreaErase || code == AreaInvert)
    ExtendUsedArea(m.Left, m.Top, m.Right, m.Bottom);
  SpriteCanvas& c = e->Canvas;
  switch (code) {
    case AreaScrollUp:
      ScrollArea(c, m, ScrollDirection::Up);
      break;
    case AreaScrollDown:
      ScrollArea(c, m, ScrollDirection::Down);
      break;
    case AreaScrollLeft:
      ScrollArea(c, m, ScrollDirection::Left);
      break;
    case AreaScrollRight:
      ScrollArea(c, m, ScrollDirection::Right);
      break;
    case AreaMirrorHorizontal:
      MirrorArea(c, m, true);
      break;
    case AreaMirrorVertical:
      MirrorArea(c, m, false);
      break;
    case AreaRotateCounterclockwise:
    case AreaRotateClockwise:
      FloatingImage = LiftArea(c, m);
      RotatePicture(FloatingImage, code == AreaRotateClockwise);
      FloatingPos = QPoint((m.Left + m.Right) / 2, (m.Top + m.Bottom) / 2);
      SetSpriteTool(SpriteToolState::Paste);
      break;
    case AreaErase:
      FillArea(c, m, kWhiteIndex);
      break;
    case AreaCopy:
      FloatingPos = QPoint(-1, -1);
      FloatingImage = LiftArea(c, m);
      SpeedButton_Sprite_Paste->show();
      // The copy goes to the system clipboard as well, as PNG only: offered
      // as an image, every format Qt can write is made of it when the editor
      // quits and hands the clipboard to the desktop, which holds the quit.
      QGuiApplication::clipboard()->setMimeData(ClipboardPng(ClipboardImage(FloatingImage)));
      break;
    case AreaInvert:
      InvertArea(c, m);
      break;
  }
  RedrawSpriteView();
  // Lifting the area into the floating picture changes nothing; the step names the rest.
  const char* const names[] = {"Scroll Area", "Scroll Area", "Scroll Area", "Scroll Area",
                               "Mirror Area", "Mirror Area", "Rotate Area", "Rotate Area",
                               "Erase Area",  "Copy Area",   "Invert Area"};
  RecordStep(names[code - 1]);
}

void TSpritePage::ImportPicture() {
  if (!Sprite()) return;
  TForm_Tavlin_Import* dialog = &ImportDialog();
  EndPreview();
  if (host_.Dialogs().RunModal(dialog) != QDialog::Accepted) return;
  // The picture is cut to the canvas; what the converted bitmap lacks is clear.
  const int w = std::clamp(dialog->SpinEdit_Image_Width->value(), 0, SpriteCanvas::kWidth);
  const int h = std::clamp(dialog->SpinEdit_Image_Height->value(), 0, SpriteCanvas::kHeight);
  const QImage bitmap = dialog->ConvertedBitmap().convertToFormat(QImage::Format_RGB32);
  FloatingImage.Width = w;
  FloatingImage.Height = h;
  FloatingImage.Pixels.assign(std::size_t(w) * std::size_t(h), kWhite);
  for (int y = 0; y < std::min(h, bitmap.height()); ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(bitmap.constScanLine(y));
    for (int x = 0; x < std::min(w, bitmap.width()); ++x)
      FloatingImage.At(x, y) = row[x] & 0xFFFFFF;
  }
  if (FloatingImage.Empty()) FloatingImage.Clear();
  ConvertToDisplay(FloatingImage);
  SetSpriteTool(SpriteToolState::Paste);
}

}  // namespace tavlin
