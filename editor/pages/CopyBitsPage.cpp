#include "CopyBitsPage.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>
#include <cstddef>
#include <cstdlib>

#include "CopyOptionChoices.h"
#include "Document.h"
#include "EditPage.h"
#include "EditorHost.h"
#include "NXTDisplay.h"
#include "NxtImage.h"
#include "RICInterpreter.h"
#include "RICParameterEdit.h"

namespace tavlin {

namespace {

// Shown area of a view, in NXT or sprite pixels.
constexpr int kCols = 100;
constexpr int kRows = 64;

constexpr QRgb kGridLight = 0xFFCFCFCF;
constexpr QRgb kGridDark = 0xFFA0A0A0;
constexpr QRgb kFrameBlack = 0xFF000000;
constexpr QRgb kBlockRed = 0xFFFF0000;

// A view's pixels (32 bits each), written in place: the picture is detached
// once, not once per pixel. Whatever falls outside the picture is dropped.
class Pixels {
 public:
  explicit Pixels(QImage& img)
      : bits_(reinterpret_cast<QRgb*>(img.bits())),
        stride_(img.bytesPerLine() / int(sizeof(QRgb))),
        width_(img.width()),
        height_(img.height()) {}
  int Width() const { return width_; }
  int Height() const { return height_; }
  void Set(int x, int y, QRgb colour) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) Row(y)[x] = colour;
  }
  // The rectangle (x0, y0)..(x1, y1), both corners included.
  void FillRect(int x0, int y0, int x1, int y1, QRgb colour) {
    x0 = std::max(x0, 0);
    x1 = std::min(x1, width_ - 1);
    y0 = std::max(y0, 0);
    y1 = std::min(y1, height_ - 1);
    if (x0 > x1 || y0 > y1) return;
    QRgb* row = Row(y0) + x0;
    if (x0 == x1) {  // a column: one pixel a row
      for (int y = y0; y <= y1; ++y, row += stride_) *row = colour;
      return;
    }
    for (int y = y0; y <= y1; ++y, row += stride_) std::fill(row, row + (x1 - x0 + 1), colour);
  }

 private:
  QRgb* Row(int y) { return bits_ + std::ptrdiff_t(y) * stride_; }
  QRgb* bits_;
  int stride_, width_, height_;
};

// Lines include both end points; only the part on the image is walked, so
// far-away end points cost nothing.
void HLine(Pixels& img, int y, int x0, int x1, QRgb colour) { img.FillRect(x0, y, x1, y, colour); }

void VLine(Pixels& img, int x, int y0, int y1, QRgb colour) { img.FillRect(x, y0, x, y1, colour); }

// A straight line from (x0, y0) to (x1, y1): one pixel per step along the
// longer axis, the other coordinate rounded to the nearest pixel.
void Line(Pixels& img, int x0, int y0, int x1, int y1, QRgb colour) {
  const long long dx = x1 - x0, dy = y1 - y0;
  auto along = [](long long from, long long delta, long long t, long long steps) {
    // from + delta * t / steps, rounded half away from zero
    const long long num = 2 * delta * t;
    const long long q = (num + (num >= 0 ? steps : -steps)) / (2 * steps);
    return from + q;
  };
  if (dx == 0 && dy == 0) {
    img.Set(x0, y0, colour);
  } else if (std::llabs(dx) >= std::llabs(dy)) {
    const int step = dx > 0 ? 1 : -1;
    const long long steps = std::llabs(dx);
    // Only the columns on the image.
    const long long tFirst =
        std::clamp<long long>(step > 0 ? -x0 : x0 - (img.Width() - 1), 0, steps);
    const long long tLast = std::clamp<long long>(step > 0 ? img.Width() - 1 - x0 : x0, -1, steps);
    for (long long t = tFirst; t <= tLast; ++t)
      img.Set(int(x0 + step * t), int(along(y0, dy, t, steps)), colour);
  } else {
    const int step = dy > 0 ? 1 : -1;
    const long long steps = std::llabs(dy);
    const long long tFirst =
        std::clamp<long long>(step > 0 ? -y0 : y0 - (img.Height() - 1), 0, steps);
    const long long tLast = std::clamp<long long>(step > 0 ? img.Height() - 1 - y0 : y0, -1, steps);
    for (long long t = tFirst; t <= tLast; ++t)
      img.Set(int(along(x0, dx, t, steps)), int(y0 + step * t), colour);
  }
}

// Fills (0, 0)..(right, bottom), right and bottom exclusive, with the face
// colour and outlines it in black; what lies outside the image is dropped.
Pixels FillFramed(QImage& img, int right, int bottom, QRgb face) {
  img.fill(face);
  Pixels px(img);
  HLine(px, 0, 0, right - 1, kFrameBlack);
  HLine(px, bottom - 1, 0, right - 1, kFrameBlack);
  VLine(px, 0, 0, bottom - 1, kFrameBlack);
  VLine(px, right - 1, 0, bottom - 1, kFrameBlack);
  return px;
}

// The views' sizes and lowest grid line at zoom z (4 at the default size:
// 403 x 259, the line at 257).
int ViewWidth(int z) { return kCols * z + 3; }
int ViewHeight(int z) { return kRows * z + 3; }
int GridBottom(int z) { return kRows * z + 1; }

// Pixel (c, r) of the shown area, r counted from the bottom: image columns
// zc + 2..zc + z + 1, rows GridBottom - zr - (z - 1)..GridBottom - zr.
void PaintCell(Pixels& img, int z, int c, int r, QRgb colour) {
  const int bottom = GridBottom(z) - z * r;
  img.FillRect(z * c + 2, bottom - (z - 1), z * c + z + 1, bottom, colour);
}

// The light grid between the pixels, with a darker line every ten pixels.
void DrawGrid(Pixels& img, int z) {
  const int b = GridBottom(z);
  for (int i = 0; i <= kCols; ++i) VLine(img, z * i + 1, 1, b, kGridLight);
  for (int i = 0; i <= kRows; ++i) HLine(img, b - z * i, 1, kCols * z, kGridLight);
  for (int i = 1; i <= 9; ++i) VLine(img, 10 * z * i + 1, 1, b, kGridDark);
  for (int i = 1; i <= 6; ++i) HLine(img, b - 10 * z * i, 1, kCols * z + 1, kGridDark);
}

// The view's closed black frame (0, 0)-(100z + 2, 64z + 2).
void DrawViewFrame(Pixels& img, int z) {
  const int r = kCols * z + 2, b = kRows * z + 2;
  HLine(img, 0, 0, r, kFrameBlack);
  VLine(img, r, 0, b, kFrameBlack);
  HLine(img, b, 0, r, kFrameBlack);
  VLine(img, 0, 0, b, kFrameBlack);
}

QRgb CanvasColour(const SpriteCanvas& canvas, int x, int y) {
  return 0xFF000000u | canvas.Pixel(x, y);
}

int UsedWidth(const TRICElement& sprite) {
  return sprite.UsedArea.IsSet() ? sprite.UsedArea.Right - sprite.UsedArea.Left + 1 : 0;
}

int UsedHeight(const TRICElement& sprite) {
  return sprite.UsedArea.IsSet() ? sprite.UsedArea.Bottom - sprite.UsedArea.Top + 1 : 0;
}

// The VarMap that hides the last sprite of this id before the position: the
// first VarMap of the id after that sprite (sprites and VarMaps share the id
// space, and the later definition wins). -1 when no sprite is hidden.
int HidingVarMap(std::uint16_t id, int position, const RICElementList& list) {
  bool sprite = false;
  int hider = -1;
  for (int i = 0; i < std::min(position, list.Count()); ++i) {
    const TRICElement& e = *list[i];
    if (e.ID != id) continue;
    if (e.Kind == RICElementKind::Sprite) {
      sprite = true;
      hider = -1;
    } else if (e.Kind == RICElementKind::VarMap && sprite && hider < 0) {
      hider = i;
    }
  }
  return hider;
}

QLabel* AxisLabel(QWidget* page, const QString& name, int value, QRect geometry,
                  Qt::Alignment alignment) {
  auto* l = new QLabel(QString::number(value), page);
  l->setObjectName(name);
  l->setAlignment(alignment);
  l->setGeometry(geometry);
  return l;
}

}  // namespace

void PaintSpriteNotice(TRICElement& sprite, const QString& title, const QStringList& lines,
                       const QColor& face) {
  // Drawn without smoothing, so that the canvas keeps a few colours.
  QFont font = QApplication::font();
  font.setStyleStrategy(QFont::NoAntialias);
  // Every text starts at x 2 and ends before x 98 (the line's end): the
  // letters get smaller, and at the smallest size that stays legible enlarged
  // in the view, narrower.
  auto fits = [&](const QFont& f) {
    const QFontMetrics fm(f);
    int width = fm.horizontalAdvance(title);
    for (const QString& line : lines) width = std::max(width, fm.horizontalAdvance(line));
    return width <= 96;
  };
  font.setPixelSize(11);
  font.setStretch(QFont::Unstretched);
  while (!fits(font) && font.pixelSize() > 8) font.setPixelSize(font.pixelSize() - 1);
  while (!fits(font) && font.stretch() > 60) font.setStretch(font.stretch() - 5);
  QImage field(100, 64, QImage::Format_RGB32);
  field.fill(face);
  QPainter p(&field);
  p.setFont(font);
  const QFontMetrics fm(font);
  auto text = [&](int top, const QString& s, const QColor& colour) {
    p.setPen(colour);
    p.drawText(2, top + fm.ascent(), s);
  };
  text(2, title, QColor(0, 0, 255));
  p.setPen(Qt::black);
  p.drawLine(2, 18, 98, 18);
  for (int i = 0; i < int(lines.size()) && i < 3; ++i) text(20 + 14 * i, lines[i], Qt::black);
  p.end();
  sprite.UsedArea = TRect{0, 448, 99, 511};
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 100; ++x)
      sprite.Canvas.SetPixel(x, 448 + y, Rgb(field.pixel(x, y) & 0xFFFFFF));
}

TCopyBitsPage::TCopyBitsPage(TEditorHost& host, QWidget* parent) : QWidget(parent), host_(host) {
  setObjectName("TabSheet_Edit_CopyBits");
  HiddenNotice_.Kind = RICElementKind::Sprite;
  HiddenNotice_.ZoomFactor = 4;
  AddPageHeader(this, "CopyBits");
  RICParameterEdit_CopyBits_CopyOpt =
      NewArgumentEdit(this, "RICParameterEdit_CopyBits_CopyOpt", "  Copy Opt", 4, 36, 4095);
  RICParameterEdit_CopyBits_SpriteID =
      NewArgumentEdit(this, "RICParameterEdit_CopyBits_SpriteID", "  Sprite ID", 4, 68, 10, 1);
  RICParameterEdit_CopyBits_PosX =
      NewArgumentEdit(this, "RICParameterEdit_CopyBits_PosX", "  Pos X", 4, 160, 4095);
  RICParameterEdit_CopyBits_PosY =
      NewArgumentEdit(this, "RICParameterEdit_CopyBits_PosY", "  Pos Y", 4, 188, 4095);
  RICParameterEdit_CopyBits_Width =
      NewArgumentEdit(this, "RICParameterEdit_CopyBits_Width", "  Width", 4, 248, 4095);
  RICParameterEdit_CopyBits_Height =
      NewArgumentEdit(this, "RICParameterEdit_CopyBits_Height", "  Height", 4, 276, 4095);
  RICParameterEdit_CopyBits_RelX =
      NewArgumentEdit(this, "RICParameterEdit_CopyBits_RelX", "  Rel X", 8, 516, 4095);
  RICParameterEdit_CopyBits_RelY =
      NewArgumentEdit(this, "RICParameterEdit_CopyBits_RelY", "  Rel Y", 8, 544, 4095);
  for (TRICParameterEdit* edit :
       {RICParameterEdit_CopyBits_CopyOpt, RICParameterEdit_CopyBits_SpriteID,
        RICParameterEdit_CopyBits_PosX, RICParameterEdit_CopyBits_PosY,
        RICParameterEdit_CopyBits_Width, RICParameterEdit_CopyBits_Height,
        RICParameterEdit_CopyBits_RelX, RICParameterEdit_CopyBits_RelY})
    connect(edit, &TRICParameterEdit::OnChange, this,
            [this, edit] { RICParameterEdit_CopyBits_Change(edit->objectName()); });
  AttachCopyOptionChoices(RICParameterEdit_CopyBits_CopyOpt, CopyOptionFamily::Bitmaps, &host_);

  Button_CopyBits_Adapt2Sprite = new QPushButton("Adapt parameters to sprite", this);
  Button_CopyBits_Adapt2Sprite->setObjectName("Button_CopyBits_Adapt2Sprite");
  // Beside the sprite's id; the copy options' choices take the place beside their control.
  Button_CopyBits_Adapt2Sprite->setGeometry(232, 66, 213, 25);
  connect(Button_CopyBits_Adapt2Sprite, &QPushButton::clicked, this,
          [this] { AdaptCopyBitsToSprite(); });

  // The source: the sprite enlarged, numbered above and to the left, and
  // scrolled when it is larger than the NXT screen.
  Image_CopyBits_Source = new TNxtImage(this, kViewWidth, kViewHeight);
  Image_CopyBits_Source->setObjectName("Image_CopyBits_Source");
  Image_CopyBits_SourceX = new TNxtImage(this, kViewWidth + 14, 15);
  Image_CopyBits_SourceX->setObjectName("Image_CopyBits_SourceX");
  Image_CopyBits_SourceY = new TNxtImage(this, 29, kViewHeight + 10);
  Image_CopyBits_SourceY->setObjectName("Image_CopyBits_SourceY");
  const QRgb face = palette().color(QPalette::Button).rgb();
  Image_CopyBits_SourceX->Picture().fill(face);
  Image_CopyBits_SourceY->Picture().fill(face);

  ScrollBar_CopyBits_SourceX = new QScrollBar(Qt::Horizontal, this);
  ScrollBar_CopyBits_SourceX->setObjectName("ScrollBar_CopyBits_SourceX");
  ScrollBar_CopyBits_SourceY = new QScrollBar(Qt::Vertical, this);
  ScrollBar_CopyBits_SourceY->setObjectName("ScrollBar_CopyBits_SourceY");
  for (QScrollBar* bar : {ScrollBar_CopyBits_SourceX, ScrollBar_CopyBits_SourceY}) {
    bar->setRange(0, 0);
    bar->setSingleStep(1);
    bar->setPageStep(10);
    bar->hide();
    connect(bar, &QScrollBar::valueChanged, this, [this] { DrawCopyBitsViews(); });
  }

  connect(Image_CopyBits_Source, &TNxtImage::MousePressed, this,
          [this](int x, int y, Qt::MouseButton button) {
            Image_CopyBits_SourceMouse(x, y, true, button);
          });
  connect(Image_CopyBits_Source, &TNxtImage::MouseMoved, this,
          [this](int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers) {
            Image_CopyBits_SourceMouse(x, y, false, buttons);
          });

  // The destination: the NXT screen with fixed axis labels.
  Image_CopyBits_Destination = new TNxtImage(this, kViewWidth, kViewHeight);
  Image_CopyBits_Destination->setObjectName("Image_CopyBits_Destination");
  for (int k = 0; k < int(Label_CopyBits_Destination_X.size()); ++k)
    Label_CopyBits_Destination_X[std::size_t(k)] =
        AxisLabel(this, QString("Label_CopyBits_Destination_X%1").arg(10 * k), 10 * k,
                  QRect(0, 0, 40, 15), Qt::AlignHCenter | Qt::AlignTop);
  for (int k = 0; k < int(Label_CopyBits_Destination_Y.size()); ++k)
    Label_CopyBits_Destination_Y[std::size_t(k)] =
        AxisLabel(this, QString("Label_CopyBits_Destination_Y%1").arg(10 * k), 10 * k,
                  QRect(0, 0, 25, 15), Qt::AlignRight | Qt::AlignTop);
  PlaceViews();
  connect(Image_CopyBits_Destination, &TNxtImage::MousePressed, this,
          [this](int x, int y, Qt::MouseButton button) {
            Image_CopyBits_DestinationMouse(x, y, true, button);
          });
  connect(Image_CopyBits_Destination, &TNxtImage::MouseMoved, this,
          [this](int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers) {
            Image_CopyBits_DestinationMouse(x, y, false, buttons);
          });
}

int TCopyBitsPage::ViewZoomFor(QSize page) {
  // The views at x 230 with the vertical bar and a margin right of them; the
  // source from y 108, 45 for its bar and the labels, the destination, a margin.
  int z = 1;
  while (230 + ViewWidth(z + 1) + 32 <= page.width() &&
         108 + 2 * ViewHeight(z + 1) + 45 + 8 <= page.height())
    ++z;
  return z;
}

void TCopyBitsPage::ArrangeViews(QSize page) {
  const int z = ViewZoomFor(page);
  if (z == zoom_) return;
  zoom_ = z;
  PlaceViews();
  if (EditingCopyBits()) DrawCopyBitsViews();
}

void TCopyBitsPage::PlaceViews() {
  const int w = ViewWidth(zoom_), h = ViewHeight(zoom_);
  const int left = 230, top = 108, destinationTop = top + h + 45;
  Image_CopyBits_Source->Resize(w, h);
  Image_CopyBits_Source->move(left, top);
  Image_CopyBits_SourceX->Resize(w + 14, 15);
  Image_CopyBits_SourceX->move(left - 8, top - 16);
  Image_CopyBits_SourceY->Resize(29, h + 10);
  Image_CopyBits_SourceY->move(left - 30, top - 4);
  ScrollBar_CopyBits_SourceX->setGeometry(left + 1, top + h + 2, w - 1, 17);
  ScrollBar_CopyBits_SourceY->setGeometry(left + w + 2, top + 1, 17, h - 1);
  Image_CopyBits_Destination->Resize(w, h);
  Image_CopyBits_Destination->move(left, destinationTop);
  // Rel X and Rel Y stay beside the destination view.
  RICParameterEdit_CopyBits_RelX->move(8, destinationTop + 104);
  RICParameterEdit_CopyBits_RelY->move(8, destinationTop + 132);
  for (int k = 0; k < int(Label_CopyBits_Destination_X.size()); ++k)
    Label_CopyBits_Destination_X[std::size_t(k)]->move(left + 1 + 10 * zoom_ * k - 20,
                                                       destinationTop - 16);
  for (int k = 0; k < int(Label_CopyBits_Destination_Y.size()); ++k)
    Label_CopyBits_Destination_Y[std::size_t(k)]->move(
        left - 30, destinationTop - 4 + GridBottom(zoom_) - 3 - 10 * zoom_ * k);
}

void TCopyBitsPage::ShowCopyBits(const TRICElement& e) {
  RICParameterEdit_CopyBits_CopyOpt->setValue(e.CopyOpt);
  RICParameterEdit_CopyBits_SpriteID->setValue(e.SpriteID);
  RICParameterEdit_CopyBits_PosX->setValue(e.PosX);
  RICParameterEdit_CopyBits_PosY->setValue(e.PosY);
  RICParameterEdit_CopyBits_Width->setValue(e.Width);
  RICParameterEdit_CopyBits_Height->setValue(e.Height);
  RICParameterEdit_CopyBits_RelX->setValue(e.RelX);
  RICParameterEdit_CopyBits_RelY->setValue(e.RelY);
  UpdateCopyBitsScrollRanges();
}

int TCopyBitsPage::WordValue(const TRICParameterEdit* edit) const {
  const RICDocument& document = host_.Document();
  return ArgumentValue(edit->Value(), host_.SelectedIndex(), document.ElementList(),
                       document.Parameters().ParameterSet, host_.SelectedIndex());
}

bool TCopyBitsPage::IsNotice(const TRICElement& sprite) const {
  return &sprite == &host_.Document().UndefinedSprite() || &sprite == &HiddenNotice_;
}

const TRICElement& TCopyBitsPage::ShownSprite() {
  const auto id = std::uint16_t(WordValue(RICParameterEdit_CopyBits_SpriteID));
  const RICElementList& list = host_.Document().ElementList();
  if (const TRICElement* sprite = FindSprite(id, host_.SelectedIndex(), list)) {
    NoticeText_.clear();
    return *sprite;
  }
  const int hider = HidingVarMap(id, host_.SelectedIndex(), list);
  if (hider < 0) {
    NoticeText_ = QString(
                      "Sprite %1 is not defined: add a sprite element before this CopyBits "
                      "element.")
                      .arg(id);
    return host_.Document().UndefinedSprite();
  }
  // Steps are numbered from 1, as the element list shows them.
  NoticeText_ = QString(
                    "Sprite %1 is hidden: the VarMap at step %2 has the same ID and comes "
                    "after the sprite, so this CopyBits copies nothing.")
                    .arg(id)
                    .arg(hider + 1);
  if (HiddenNoticeFor_ != std::pair<int, int>(id, hider)) {
    HiddenNoticeFor_ = {id, hider};
    const QColor face = QApplication::palette().color(QPalette::Button);
    HiddenNotice_.Canvas.Fill(Rgb(face.rgb() & 0xFFFFFF));
    PaintSpriteNotice(
        HiddenNotice_, QString("Sprite %1 is hidden!").arg(id),
        {"by the VarMap at", QString("step %1, which has").arg(hider + 1), "the same ID."}, face);
  }
  return HiddenNotice_;
}

bool TCopyBitsPage::EditingCopyBits() const {
  return host_.SelectedElement() && host_.SelectedElement()->Kind == RICElementKind::CopyBits;
}

void TCopyBitsPage::UpdateCopyBitsScrollRanges() {
  const TRICElement& sprite = ShownSprite();
  const int w = UsedWidth(sprite);
  const int h = UsedHeight(sprite);
  QScrollBar* bx = ScrollBar_CopyBits_SourceX;
  QScrollBar* by = ScrollBar_CopyBits_SourceY;
  // One redraw at the end, not one per changed position.
  const bool xBlocked = bx->blockSignals(true);
  const bool yBlocked = by->blockSignals(true);
  if (w > kCols) {
    bx->setRange(0, w - kCols);  // the position stays, limited to the new maximum
    bx->show();
  } else {
    bx->setRange(0, 0);
    bx->setValue(0);
    bx->hide();
  }
  if (h > kRows) {
    by->setRange(0, h - kRows);
    by->setValue(h - kRows);  // the bottom of the sprite
    by->show();
  } else {
    by->setRange(0, 0);
    by->setValue(0);
    by->hide();
  }
  bx->blockSignals(xBlocked);
  by->blockSignals(yBlocked);
  rangesWidth_ = w;
  rangesHeight_ = h;
  DrawCopyBitsViews();
}

void TCopyBitsPage::DrawCopyBitsViews() {
  const TRICElement& sprite = ShownSprite();
  const int usedW = UsedWidth(sprite);
  const int usedH = UsedHeight(sprite);
  if (usedW != rangesWidth_ || usedH != rangesHeight_) {
    // Another sprite than the ranges were made for (its id was just edited):
    // a window made for the old size would show and number the wrong rows.
    UpdateCopyBitsScrollRanges();
    return;
  }
  const int px = WordValue(RICParameterEdit_CopyBits_PosX);
  const int py = WordValue(RICParameterEdit_CopyBits_PosY);
  const int W = WordValue(RICParameterEdit_CopyBits_Width);
  const int H = WordValue(RICParameterEdit_CopyBits_Height);
  const int rx = WordValue(RICParameterEdit_CopyBits_RelX);
  const int ry = WordValue(RICParameterEdit_CopyBits_RelY);
  const int vw = std::min(usedW, kCols);
  const int vh = std::min(usedH, kRows);
  const int xPos = ScrollBar_CopyBits_SourceX->value();
  const int yPos = ScrollBar_CopyBits_SourceY->value();
  const int yMax = ScrollBar_CopyBits_SourceY->maximum();
  const QRgb face = palette().color(QPalette::Button).rgb();
  const TRect& area = sprite.UsedArea;

  const int z = zoom_;
  const int gridBottom = GridBottom(z);
  // Source view: the window of the used area, bottom-left aligned.
  QImage& src = Image_CopyBits_Source->Picture();
  Pixels srcPixels = FillFramed(src, ViewWidth(z) + 1, ViewHeight(z), face);
  if (vw > 0 && vh > 0) {
    const int left = area.Left + xPos;
    const int top = area.Top + yPos;
    for (int r = 0; r < vh; ++r)
      for (int c = 0; c < vw; ++c)
        PaintCell(srcPixels, z, c, r, CanvasColour(sprite.Canvas, left + c, top + vh - 1 - r));
    DrawGrid(srcPixels, z);
  }
  if (W > 0 && H > 0) {
    // The source block, crossed, also where it leaves the window.
    const int x0 = (px - xPos) * z + 1;
    const int y0 = gridBottom - (py + H - (yMax - yPos)) * z;
    const int x1 = x0 + z * W;
    const int y1 = y0 + z * H;
    HLine(srcPixels, y0, x0, x1, kBlockRed);
    HLine(srcPixels, y1, x0, x1, kBlockRed);
    VLine(srcPixels, x0, y0, y1, kBlockRed);
    VLine(srcPixels, x1, y0, y1, kBlockRed);
    Line(srcPixels, x0, y0, x1, y1, kBlockRed);
    Line(srcPixels, x0, y1, x1, y0, kBlockRed);
  }
  DrawViewFrame(srcPixels, z);
  Image_CopyBits_Source->setToolTip(NoticeText_);
  Image_CopyBits_Source->update();

  // The numbers of the window's columns and rows.
  QImage& numX = Image_CopyBits_SourceX->Picture();
  QImage& numY = Image_CopyBits_SourceY->Picture();
  numX.fill(face);
  numY.fill(face);
  if (vw > 0 && vh > 0) {
    QPainter p(&numX);
    p.setFont(font());
    p.setPen(palette().color(QPalette::ButtonText));
    for (int k = 0; 8 + 10 * z * k < numX.width() - 13; ++k)
      p.drawText(QRect(8 + 10 * z * k - 20, 0, 40, numX.height()), Qt::AlignHCenter | Qt::AlignTop,
                 QString::number(xPos + 10 * k));
    p.end();
    QPainter q(&numY);
    q.setFont(font());
    q.setPen(palette().color(QPalette::ButtonText));
    for (int k = 0; gridBottom - 3 - 10 * z * k > 4; ++k)
      q.drawText(QRect(0, gridBottom - 3 - 10 * z * k, 25, 15), Qt::AlignRight | Qt::AlignTop,
                 QString::number(yMax - yPos + 10 * k));
  }
  Image_CopyBits_SourceX->update();
  Image_CopyBits_SourceY->update();

  // Destination view: the block alone at its place on the screen, in the
  // canvas's own colours. Only the cells that fall on the screen are painted.
  // In a brick mode it is the screen the firmware draws from the file's bytes.
  QImage& dst = Image_CopyBits_Destination->Picture();
  Pixels dstPixels = FillFramed(dst, ViewWidth(z), ViewHeight(z), face);
  NXTDisplay brick;
  if (host_.RenderSelectedOnBrick(brick)) {
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kCols; ++c)
        PaintCell(dstPixels, z, c, r, 0xFF000000u | brick.Pixel(c, kRows - 1 - r));
  } else if (W > 0 && H > 0 && !IsNotice(sprite) && area.IsSet()) {
    const int c0 = std::max(rx, 0);
    const int c1 = std::min(rx + W, kCols);
    const int r0 = std::max(ry, 0);
    const int r1 = std::min(ry + H, kRows);
    for (int r = r0; r < r1; ++r)
      for (int c = c0; c < c1; ++c)
        PaintCell(
            dstPixels, z, c, r,
            CanvasColour(sprite.Canvas, area.Left + px + (c - rx), area.Bottom - py - (r - ry)));
  }
  DrawGrid(dstPixels, z);
  DrawViewFrame(dstPixels, z);
  Image_CopyBits_Destination->update();
}

QPoint TCopyBitsPage::CopyBitsPointFromMouse(int mouseX, int mouseY, int zoom) {
  // Division truncates toward zero, as the views were always read.
  const int x = std::clamp((mouseX - 1) / zoom, 0, kCols - 1);
  const int y = std::clamp(63 - (mouseY - 1) / zoom, 0, kRows - 1);
  return {x, y};
}

QPoint TCopyBitsPage::SourcePointFromMouse(int mx, int my) const {
  const QPoint p = CopyBitsPointFromMouse(mx, my, zoom_);
  return {p.x() + ScrollBar_CopyBits_SourceX->value(),
          p.y() + ScrollBar_CopyBits_SourceY->maximum() - ScrollBar_CopyBits_SourceY->value()};
}

void TCopyBitsPage::SetConstants(std::initializer_list<std::pair<TRICParameterEdit*, int>> values,
                                 const std::string& name, const std::string& mergeKey) {
  batch_ = true;
  batchChanged_ = false;
  for (const auto& [edit, value] : values) edit->setValue(EncodeConstant(unsigned(value)));
  batch_ = false;
  if (batchChanged_) {
    DrawCopyBitsViews();
    host_.SelectedElementEdited(name, mergeKey);
  }
}

void TCopyBitsPage::Image_CopyBits_SourceMouse(int mx, int my, bool press,
                                               Qt::MouseButtons buttons) {
  if (!EditingCopyBits()) return;
  const QPoint p = SourcePointFromMouse(mx, my);
  host_.ShowPointerPosition(p.x(), p.y());
  // A press starts a step of its own; the drag that follows belongs to it.
  if (press) {
    dragAnchor_ = p;
    host_.SealEditStep();
    SetConstants({{RICParameterEdit_CopyBits_PosX, p.x()}, {RICParameterEdit_CopyBits_PosY, p.y()}},
                 "Mark CopyBits Source", "source");
  } else if (buttons & Qt::LeftButton) {
    const QPoint a = dragAnchor_;
    SetConstants({{RICParameterEdit_CopyBits_PosX, std::min(p.x(), a.x())},
                  {RICParameterEdit_CopyBits_PosY, std::min(p.y(), a.y())},
                  {RICParameterEdit_CopyBits_Width, std::abs(p.x() - a.x()) + 1},
                  {RICParameterEdit_CopyBits_Height, std::abs(p.y() - a.y()) + 1}},
                 "Mark CopyBits Source", "source");
  }
}

void TCopyBitsPage::Image_CopyBits_DestinationMouse(int mx, int my, bool press,
                                                    Qt::MouseButtons buttons) {
  if (!EditingCopyBits()) return;
  const QPoint p = CopyBitsPointFromMouse(mx, my, zoom_);
  host_.ShowPointerPosition(p.x(), p.y());
  if (buttons & Qt::LeftButton) {
    if (press) host_.SealEditStep();
    SetConstants({{RICParameterEdit_CopyBits_RelX, p.x()}, {RICParameterEdit_CopyBits_RelY, p.y()}},
                 "Place CopyBits", "destination");
  }
}

void TCopyBitsPage::AdaptCopyBitsToSprite() {
  const TRICElement& sprite = ShownSprite();
  if (IsNotice(sprite) || !EditingCopyBits()) return;
  SetConstants({{RICParameterEdit_CopyBits_PosX, 0},
                {RICParameterEdit_CopyBits_PosY, 0},
                {RICParameterEdit_CopyBits_Width, UsedWidth(sprite)},
                {RICParameterEdit_CopyBits_Height, UsedHeight(sprite)},
                {RICParameterEdit_CopyBits_RelX, 0},
                {RICParameterEdit_CopyBits_RelY, 0}},
               "Adapt Parameters to Sprite");
  DrawCopyBitsViews();
}

void TCopyBitsPage::RICParameterEdit_CopyBits_Change(const QString& field) {
  TRICElement* e = host_.SelectedElement();
  if (!host_.EditEventsEnabled() || !e || e->Kind != RICElementKind::CopyBits) return;
  e->SpriteID = RICParameterEdit_CopyBits_SpriteID->Value();
  e->CopyOpt = RICParameterEdit_CopyBits_CopyOpt->Value();
  e->PosX = RICParameterEdit_CopyBits_PosX->Value();
  e->PosY = RICParameterEdit_CopyBits_PosY->Value();
  e->Width = RICParameterEdit_CopyBits_Width->Value();
  e->Height = RICParameterEdit_CopyBits_Height->Value();
  e->RelX = RICParameterEdit_CopyBits_RelX->Value();
  e->RelY = RICParameterEdit_CopyBits_RelY->Value();
  if (batch_) {
    batchChanged_ = true;  // the views, the list and the step come once at the end
  } else {
    DrawCopyBitsViews();
    // "RICParameterEdit_CopyBits_PosX" is the field "Pos X".
    QString caption = field.section('_', 2);
    for (int i = caption.size() - 1; i > 0; --i)
      if (caption[i].isUpper() && caption[i - 1].isLower()) caption.insert(i, ' ');
    host_.SelectedElementEdited(("Change " + caption).toStdString(), field.toStdString());
  }
}

}  // namespace tavlin
