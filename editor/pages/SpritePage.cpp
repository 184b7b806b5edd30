#include "SpritePage.h"

#include <QAction>
#include <QButtonGroup>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <algorithm>

#include "Document.h"
#include "EditPage.h"
#include "EditorHost.h"
#include "ElementIcons.h"
#include "NxtImage.h"
#include "RicFile.h"
#include "SpriteView.h"
#include "Tavlin_AddText.h"
#include "Tavlin_Import.h"
#include "UserDialogs.h"

namespace tavlin {

namespace {

constexpr int kViewLeft = 40;
constexpr int kViewTop = 116;

QLabel* NewLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                 bool bold = false) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  l->move(left, top);
  if (bold) {
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
  }
  l->setMinimumWidth(bold ? 180 : 90);
  l->adjustSize();
  return l;
}

}  // namespace

TSpritePage::TSpritePage(TEditorHost& host, QWidget* parent) : QWidget(parent), host_(host) {
  setObjectName("TabSheet_Edit_Sprite");
  host_.Document().AddObserver(this);
  AddPageHeader(this, "Sprite");
  NewLabel(this, "Label_Sprite_ID", "Sprite ID", 8, 43)->setMinimumWidth(0);
  SpinEdit_Sprite_ID = new QSpinBox(this);
  SpinEdit_Sprite_ID->setObjectName("SpinEdit_Sprite_ID");
  SpinEdit_Sprite_ID->setRange(1, 10);
  SpinEdit_Sprite_ID->setToolTip("Set the ID for the sprite");
  SpinEdit_Sprite_ID->setGeometry(72, 40, 48, 22);
  connect(SpinEdit_Sprite_ID, &QSpinBox::valueChanged, this,
          [this] { SpinEdit_Sprite_IDChange(); });
  Image_Mark = new QLabel(this);
  Image_Mark->setObjectName("Image_Mark");
  Image_Mark->setGeometry(0, 0, 20, 4);
  Image_Mark->hide();
  BuildView();
  BuildTools();
  BuildAreaButtons();
  BuildMenus();
  BuildShortcuts();
  ShowUndoState();
  SetMarkedArea(-1, -1, -1, -1);
}

TSpritePage::~TSpritePage() { host_.Document().RemoveObserver(this); }

// The dialogs are made when first needed (the window's first frame shows
// neither) and live as long as the page, so they keep their settings between uses.
TForm_Tavlin_Import& TSpritePage::ImportDialog() {
  if (!importDialog_) {
    importDialog_ = new TForm_Tavlin_Import(this);
    // A picture that cannot be read is reported in a message box naming it and the reason.
    connect(importDialog_, &TForm_Tavlin_Import::LoadFailed, this,
            [this](const QString& message) { host_.Dialogs().ShowError(importDialog_, message); });
  }
  return *importDialog_;
}

TForm_Tavlin_AddText& TSpritePage::AddTextDialog() {
  if (!addTextDialog_) addTextDialog_ = new TForm_Tavlin_AddText(this);
  return *addTextDialog_;
}

QToolButton* TSpritePage::NewButton(const char* name, const QString& glyph, const QString& hint,
                                    int left, int top) {
  auto* b = new QToolButton(this);
  b->setObjectName(name);
  b->setGeometry(left, top, 25, 25);
  b->setIcon(PageGlyph(glyph, 19));
  b->setIconSize(QSize(19, 19));
  b->setToolTip(hint);
  return b;
}

void TSpritePage::BuildView() {
  Image_Sprite_X = new TNxtImage(this, kViewWidth + 19, 20);
  Image_Sprite_X->setObjectName("Image_Sprite_X");
  Image_Sprite_Y = new TNxtImage(this, 32, kViewHeight + 11);
  Image_Sprite_Y->setObjectName("Image_Sprite_Y");
  Image_Sprite = new TSpriteView(this, kViewWidth, kViewHeight);
  Image_Sprite->setObjectName("Image_Sprite");
  connect(Image_Sprite, &TSpriteView::MouseDown, this,
          [this](int x, int y, Qt::MouseButtons b) { Image_SpriteMouseDown(x, y, b); });
  connect(Image_Sprite, &TSpriteView::MouseMove, this,
          [this](int x, int y, Qt::MouseButtons b) { Image_SpriteMouseMove(x, y, b); });
  connect(Image_Sprite, &TSpriteView::MouseUp, this,
          [this](int x, int y, Qt::MouseButtons b) { Image_SpriteMouseUp(x, y, b); });
  // Delete on the view erases the marked area, as the erase button does.
  connect(Image_Sprite, &TSpriteView::DeletePressed, this,
          [this] { SpriteAreaOperation(AreaErase); });

  ScrollBar_Sprite_X = new QScrollBar(Qt::Horizontal, this);
  ScrollBar_Sprite_X->setObjectName("ScrollBar_Sprite_X");
  ScrollBar_Sprite_X->setRange(-600, 600);
  ScrollBar_Sprite_Y = new QScrollBar(Qt::Vertical, this);
  ScrollBar_Sprite_Y->setObjectName("ScrollBar_Sprite_Y");
  ScrollBar_Sprite_Y->setRange(-400, 400);
  for (QScrollBar* s : {ScrollBar_Sprite_X, ScrollBar_Sprite_Y})
    connect(s, &QScrollBar::valueChanged, this, [this] {
      if (!settingZoom_) RedrawSpriteView();
    });

  // The controls under the view, placed from the top of the first label row.
  const int infoTop = 0;
  auto below = [this](QWidget* w) {
    belowView_.append({w, w->pos()});
    return w;
  };
  below(NewLabel(this, "Label_Sprite_ImageSize", "Image size", kViewLeft, infoTop));
  Label_Sprite_ImageSizeValue =
      NewLabel(this, "Label_Sprite_ImageSizeValue", "0 x 0 pixels", kViewLeft + 100, infoTop, true);
  below(NewLabel(this, "Label_Sprite_VisibleArea", "Viisible area", kViewLeft, infoTop + 22));
  Label_Sprite_VisibleAreaValue = NewLabel(this, "Label_Sprite_VisibleAreaValue", "n x m pixels",
                                           kViewLeft + 100, infoTop + 22, true);
  below(NewLabel(this, "Label_Sprite_ZoomFactor", "Zoom factor", kViewLeft, infoTop + 44));
  Label_Sprite_ZoomFactorValue =
      NewLabel(this, "Label_Sprite_ZoomFactorValue", "x1", kViewLeft + 100, infoTop + 44, true);
  for (QWidget* w :
       {Label_Sprite_ImageSizeValue, Label_Sprite_VisibleAreaValue, Label_Sprite_ZoomFactorValue})
    below(w);
  SpeedButton_Sprite_Minimize =
      NewButton("SpeedButton_Sprite_Minimize", "compress",
                "Compress the image to the real used space", kViewLeft + 310, infoTop);
  below(SpeedButton_Sprite_Minimize);
  connect(SpeedButton_Sprite_Minimize, &QToolButton::clicked, this, [this] { CompressSprite(); });

  TrackBar_Sprite_Zoom = new QSlider(Qt::Vertical, this);
  TrackBar_Sprite_Zoom->setObjectName("TrackBar_Sprite_Zoom");
  TrackBar_Sprite_Zoom->setGeometry(kViewLeft + 440, infoTop - 4, 30, 140);
  TrackBar_Sprite_Zoom->setRange(0, 7);
  TrackBar_Sprite_Zoom->setPageStep(1);
  TrackBar_Sprite_Zoom->setInvertedAppearance(true);  // position 0 at the top
  TrackBar_Sprite_Zoom->setInvertedControls(true);
  TrackBar_Sprite_Zoom->setTickPosition(QSlider::TicksLeft);
  TrackBar_Sprite_Zoom->setTickInterval(1);
  TrackBar_Sprite_Zoom->setToolTip("Set the zoom level of the sprite");
  connect(TrackBar_Sprite_Zoom, &QSlider::valueChanged, this,
          [this] { TrackBar_Sprite_ZoomChange(); });
  SpeedButton_Sprite_ZoomNXT =
      NewButton("SpeedButton_Sprite_ZoomNXT", "nxt",
                "Zoom to the size of NXT display (100x64 pixels)", kViewLeft + 480, infoTop - 4);
  SpeedButton_Sprite_ZoomNXT->setGeometry(kViewLeft + 480, infoTop - 4, 40, 25);
  below(SpeedButton_Sprite_ZoomNXT);
  connect(SpeedButton_Sprite_ZoomNXT, &QToolButton::clicked, this, [this] { ApplyZoom(6); });
  PlaceView(kDefaultPageHeight);
}

void TSpritePage::ArrangeView(QSize page) {
  // The view at x 40 with its vertical bar and a margin right of it; under it
  // its bar, the labels and the zoom track bar: 600 x 384 on the default
  // 665 x 700 page.
  const int width = std::clamp((page.width() - kViewLeft - 2 - 17 - 6) / kViewStep * kViewStep,
                               kViewStep, SpriteCanvas::kWidth / kViewStep * kViewStep);
  const int height = std::clamp((page.height() - 300) / kViewStep * kViewStep, kViewStep,
                                SpriteCanvas::kHeight / kViewStep * kViewStep);
  const bool changed = width != areaWidth_ || height != areaHeight_;
  TRICElement* e = Sprite();
  const int left = ScrollBar_Sprite_X->value();
  const int bottom = ScrollBar_Sprite_Y->value() + areaHeight_ / (e ? e->ZoomFactor : 1);
  areaWidth_ = width;
  areaHeight_ = height;
  PlaceView(page.height());
  if (!changed) return;
  if (e) {
    ApplyZoom(e->ZoomFactor);
    // The view keeps the column at its left edge and the row at its foot.
    settingZoom_ = true;
    ScrollBar_Sprite_X->setValue(left);
    ScrollBar_Sprite_Y->setValue(bottom - areaHeight_ / e->ZoomFactor);
    settingZoom_ = false;
    RedrawSpriteView();
  }
}

void TSpritePage::PlaceView(int pageHeight) {
  const int w = areaWidth_ + 2, h = areaHeight_ + 2;
  Image_Sprite->Resize(w, h);
  Image_Sprite->move(kViewLeft, kViewTop);
  Image_Sprite_X->Resize(w + 19, 20);
  Image_Sprite_X->move(kViewLeft - 8, kViewTop - 20);
  Image_Sprite_Y->Resize(32, h + 11);
  Image_Sprite_Y->move(kViewLeft - 34, kViewTop - 5);
  ScrollBar_Sprite_X->setGeometry(kViewLeft, kViewTop + h + 1, w, 16);
  ScrollBar_Sprite_Y->setGeometry(kViewLeft + w + 1, kViewTop, 16, h);
  const int infoTop = kViewTop + h + 28;
  for (const auto& [widget, offset] : belowView_) widget->move(offset + QPoint(0, infoTop));
  const int trackHeight = std::clamp(pageHeight - 8 - (infoTop - 4), 60, 140);
  TrackBar_Sprite_Zoom->setGeometry(kViewLeft + 440, infoTop - 4, 30, trackHeight);
}

void TSpritePage::BuildMenus() {
  QMenu* m = host_.SpriteMenu();
  Menu_Edit_Sprite_CompressSprite = m->addAction("&Compress Sprite");
  Menu_Edit_Sprite_CompressSprite->setObjectName("Menu_Edit_Sprite_CompressSprite");
  connect(Menu_Edit_Sprite_CompressSprite, &QAction::triggered, this, [this] { CompressSprite(); });
  Menu_Edit_Sprite_ImportImage = m->addAction("&Import Image");
  Menu_Edit_Sprite_ImportImage->setObjectName("Menu_Edit_Sprite_ImportImage");
  connect(Menu_Edit_Sprite_ImportImage, &QAction::triggered, this, [this] { ImportPicture(); });

  Menu_Edit_Sprite_Draw = m->addMenu("&Draw");
  Menu_Edit_Sprite_Draw->setObjectName("Menu_Edit_Sprite_Draw");
  const struct {
    const char* name;
    const char* caption;
    SpriteToolState tool;
  } draw[] = {
      {"Menu_Edit_Sprite_Draw_Point", "Point", SpriteToolState::Point},
      {"Menu_Edit_Sprite_Draw_Line", "Line", SpriteToolState::Line},
      {"Menu_Edit_Sprite_Draw_Rectangle", "Rectangle", SpriteToolState::Rectangle},
      {"Menu_Edit_Sprite_Draw_FilledRectangle", "Filled rectangle",
       SpriteToolState::FilledRectangle},
      {"Menu_Edit_Sprite_Draw_Circle", "Circle", SpriteToolState::Circle},
      {"Menu_Edit_Sprite_Draw_FilledCircle", "Filled Circle", SpriteToolState::FilledCircle},
      {"Menu_Edit_Sprite_Draw_Ellipse", "Ellipse", SpriteToolState::Ellipse},
      {"Menu_Edit_Sprite_Draw_FilledEllipse", "Filled ellipse", SpriteToolState::FilledEllipse},
      {"Menu_Edit_Sprite_Draw_FloodFill", "Fill area", SpriteToolState::Fill},
      {"Menu_Edit_Sprite_Draw_Text", "Text", SpriteToolState::Text}};
  for (const auto& d : draw) {
    QAction* a = Menu_Edit_Sprite_Draw->addAction(d.caption);
    a->setObjectName(d.name);
    connect(a, &QAction::triggered, this, [this, tool = d.tool] { SetSpriteTool(tool); });
  }

  Menu_Edit_Sprite_MarkArea = m->addMenu("&Mark Area");
  Menu_Edit_Sprite_MarkArea->setObjectName("Menu_Edit_Sprite_MarkArea");
  auto item = [this](QMenu* menu, const char* name, const char* caption, int code) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    if (code > 0)
      connect(a, &QAction::triggered, this, [this, code] { SpriteAreaOperation(code); });
    return a;
  };
  QMenu* rotate = Menu_Edit_Sprite_MarkArea->addMenu("Rotate area");
  rotate->setObjectName("Menu_Edit_Sprite_MarkArea_Rotate");
  item(rotate, "Menu_Edit_Sprite_MarkArea_Rotate_Counterclockwise", "Counterclockwise",
       AreaRotateCounterclockwise);
  item(rotate, "Menu_Edit_Sprite_MarkArea_Rotate_Clockwise", "Clockwise", AreaRotateClockwise);
  QMenu* scroll = Menu_Edit_Sprite_MarkArea->addMenu("Scroll area");
  scroll->setObjectName("Menu_Edit_Sprite_MarkArea_ScrollArea");
  item(scroll, "Menu_Edit_Sprite_MarkArea_ScrollArea_Up", "Up", AreaScrollUp);
  item(scroll, "Menu_Edit_Sprite_MarkArea_ScrollArea_Down", "Down", AreaScrollDown);
  item(scroll, "Menu_Edit_Sprite_MarkArea_ScrollArea_Left", "Left", AreaScrollLeft);
  item(scroll, "Menu_Edit_Sprite_MarkArea_ScrollArea_Right", "Right", AreaScrollRight);
  QMenu* mirror = Menu_Edit_Sprite_MarkArea->addMenu("Mirror area");
  mirror->setObjectName("Menu_Edit_Sprite_MarkArea_MirrorArea");
  item(mirror, "Menu_Edit_Sprite_MarkArea_MirrorArea_Horizontal", "Horizontal",
       AreaMirrorHorizontal);
  item(mirror, "Menu_Edit_Sprite_MarkArea_MirrorArea_Vertical", "Vertical", AreaMirrorVertical);
  Menu_Edit_Sprite_MarkArea->addSeparator();
  item(Menu_Edit_Sprite_MarkArea, "Menu_Edit_Sprite_MarkArea_EraseArea", "Erase area", AreaErase);
  // The copy and insert items act like the Copy and Paste buttons.
  item(Menu_Edit_Sprite_MarkArea, "Menu_Edit_Sprite_MarkArea_CopyMarkedArea", "Copy to clipboard",
       AreaCopy);
  QAction* insert = item(Menu_Edit_Sprite_MarkArea, "Menu_Edit_Sprite_MarkArea_Insert",
                         "Insert from clipboard", 0);
  connect(insert, &QAction::triggered, this, [this] {
    if (!FloatingImage.Empty()) SetSpriteTool(SpriteToolState::Paste);
  });
  Menu_Edit_Sprite_MarkArea->addSeparator();
  item(Menu_Edit_Sprite_MarkArea, "Menu_Edit_Sprite_MarkArea_InvertArea", "Invert area",
       AreaInvert);

  // The View menu steps the zoom track bar; "Zoom NXT display size" zooms like the NXT button.
  QAction* zoomIn = host_.ViewMenu()->findChild<QAction*>("Menu_View_ZoomIn");
  QAction* zoomOut = host_.ViewMenu()->findChild<QAction*>("Menu_View_ZoomOut");
  QAction* zoomNxt = host_.ViewMenu()->findChild<QAction*>("Menu_View_ZoomNXTDisplaySize");
  auto step = [this](int delta) {
    if (TRICElement* e = Sprite())
      ApplyZoom(ZoomFactors[std::size_t(std::clamp(ZoomIndex(e->ZoomFactor) + delta, 0, 7))]);
  };
  if (zoomIn) connect(zoomIn, &QAction::triggered, this, [step] { step(1); });
  if (zoomOut) connect(zoomOut, &QAction::triggered, this, [step] { step(-1); });
  if (zoomNxt) connect(zoomNxt, &QAction::triggered, this, [this] { ApplyZoom(6); });
}

TRICElement* TSpritePage::Sprite() const {
  TRICElement* e = host_.SelectedElement();
  return e && e->Kind == RICElementKind::Sprite ? e : nullptr;
}

void TSpritePage::SelectionChanging(const TRICElement* next) {
  if (next && next == shown_) return;
  EndPreview();
  DropFloatingImage();
  shown_ = nullptr;
}

void TSpritePage::ShowSprite(TRICElement& e) {
  SpinEdit_Sprite_ID->setValue(e.ID);
  if (&e == shown_) {
    RedrawSpriteView();
    return;
  }
  if (shown_) SelectionChanging(&e);
  shown_ = &e;
  ShowAreaButtons(e.MarkedArea.IsSet());
  ApplyZoom(e.ZoomFactor);
}

void TSpritePage::PaintMarkImage() {
  QImage mark(20, 4, QImage::Format_RGB32);
  mark.fill(Qt::white);
  const QRgb upper[5] = {0xF0D0F0, 0x00D000, 0xFFFF00, 0xFFA0A0, 0xA0FFA0};
  const QRgb lower[5] = {0xE000E0, 0x0030FF, 0xFF9000, 0xB00000, 0x00B000};
  QPainter p(&mark);
  for (int i = 0; i < 5; ++i) {
    p.fillRect(4 * i, 0, 2, 2, QColor::fromRgb(upper[i]));
    p.fillRect(4 * i, 2, 2, 2, QColor::fromRgb(lower[i]));
  }
  p.end();
  Image_Mark->setPixmap(QPixmap::fromImage(mark));
}

void TSpritePage::SpinEdit_Sprite_IDChange() {
  TRICElement* e = Sprite();
  if (!host_.EditEventsEnabled() || !e) return;
  e->ID = std::uint16_t(SpinEdit_Sprite_ID->value());
  host_.SelectedElementEdited("Change Sprite ID", "Sprite ID");
}

void TSpritePage::TrackBar_Sprite_ZoomChange() {
  if (settingZoom_) return;
  ApplyZoom(ZoomFactors[std::size_t(std::clamp(TrackBar_Sprite_Zoom->value(), 0, 7))]);
}

void TSpritePage::ApplyZoom(int z) {
  TRICElement* e = Sprite();
  if (!e) return;
  if (std::find(ZoomFactors.begin(), ZoomFactors.end(), z) == ZoomFactors.end()) z = 6;
  e->ZoomFactor = z;
  const int cols = areaWidth_ / z, rows = areaHeight_ / z;
  settingZoom_ = true;
  TrackBar_Sprite_Zoom->setValue(ZoomIndex(z));
  ScrollBar_Sprite_X->setRange(0, SpriteCanvas::kWidth - cols);
  ScrollBar_Sprite_Y->setRange(0, SpriteCanvas::kHeight - rows);
  ScrollBar_Sprite_X->setPageStep(cols);
  ScrollBar_Sprite_Y->setPageStep(rows);
  if (!e->UsedArea.IsSet()) {
    ScrollBar_Sprite_X->setValue(0);
    ScrollBar_Sprite_Y->setValue(ScrollBar_Sprite_Y->maximum());
  } else {
    ScrollBar_Sprite_X->setValue(e->UsedArea.Left);
    ScrollBar_Sprite_Y->setValue((SpriteCanvas::kHeight - rows) + e->UsedArea.Bottom - 511);
  }
  settingZoom_ = false;
  Label_Sprite_ZoomFactorValue->setText(QString::number(z));
  Label_Sprite_VisibleAreaValue->setText(QString("%1 x %2 pixels").arg(cols).arg(rows));
  RedrawSpriteView();
}

QPoint TSpritePage::MouseToSprite(int x, int y) const {
  const TRICElement* e = Sprite();
  int z = e ? e->ZoomFactor : 1;
  // Truncating division: the border pixel left of the view maps to the first column at z > 1.
  int cx = (x - 1) / z + ScrollBar_Sprite_X->value();
  int cy = (y - 1) / z + ScrollBar_Sprite_Y->value();
  return QPoint(std::clamp(cx, 0, SpriteCanvas::kWidth - 1),
                std::clamp(cy, 0, SpriteCanvas::kHeight - 1));
}

void TSpritePage::RedrawSpriteView() {
  TRICElement* e = Sprite();
  if (!e) return;
  const int z = e->ZoomFactor;
  const int cols = areaWidth_ / z, rows = areaHeight_ / z;
  SpriteViewState v;
  v.Zoom = z;
  v.AreaWidth = areaWidth_;
  v.AreaHeight = areaHeight_;
  v.ScrollX = ScrollBar_Sprite_X->value();
  v.ScrollY = ScrollBar_Sprite_Y->value();
  v.Marked = e->MarkedArea;
  v.Floating = &FloatingImage;
  v.FloatingX = FloatingPos.x();
  v.FloatingY = FloatingPos.y();
  QImage& pic = Image_Sprite->Picture();
  ComposeSpriteView(e->Canvas, v, reinterpret_cast<std::uint32_t*>(pic.bits()),
                    int(pic.bytesPerLine() / 4));
  Image_Sprite->update();
  PaintRulers(*e, cols, rows);

  const TRect& u = e->UsedArea;
  if (!u.IsSet()) {
    Label_Sprite_ImageSizeValue->setText("0 x 0 pixels / 0 bytes");
  } else {
    int n = SpriteDataSize(u);
    Label_Sprite_ImageSizeValue->setText(QString("%1 x %2 / %3 byte%4")
                                             .arg(u.Right - u.Left + 1)
                                             .arg(u.Bottom - u.Top + 1)
                                             .arg(n)
                                             .arg(n == 1 ? "" : "s"));
  }
  // A sprite too large for one RIC element cannot be saved: say so while drawing, not at saving.
  const bool tooLarge = u.IsSet() && SpriteDataSize(u) > kMaxSpriteDataBytes;
  Label_Sprite_ImageSizeValue->setStyleSheet(tooLarge ? "color: #C00000" : "");
  Label_Sprite_ImageSizeValue->setToolTip(
      tooLarge ? QString("Too large for a RIC file: a sprite holds at most %1 bytes")
                     .arg(kMaxSpriteDataBytes)
               : QString());
  // The element list's row shows the size; RefreshSelectedRow re-renders the document too.
  host_.RefreshSelectedRow();
}

void TSpritePage::PaintRulers(const TRICElement& e, int cols, int rows) {
  const int z = e.ZoomFactor;
  const int px = ScrollBar_Sprite_X->value(), py = ScrollBar_Sprite_Y->value();
  const int d = 24 / z;
  const QColor face = palette().color(QPalette::Button);
  const QColor tick(0xB0, 0xB0, 0xB0);
  QFont font = this->font();
  font.setPixelSize(9);

  QImage& rx = Image_Sprite_X->Picture();
  rx.fill(face);
  {
    QPainter p(&rx);
    p.setFont(font);
    QFontMetrics fm(font);
    int label = px;
    for (int x = z == 1 ? 9 : 8 + z / 2; x < areaWidth_; x += 24, label += d) {
      p.setPen(tick);
      p.drawLine(x, 0, x, rx.height() - 1);
      p.setPen(Qt::black);
      QString text = QString::number(label);
      p.drawText(x - fm.horizontalAdvance(text) / 2, fm.ascent(), text);
    }
    if (e.UsedArea.IsSet()) {
      p.setPen(Qt::black);
      int a = (e.UsedArea.Left - px) * z + 9;
      p.drawPolyline(QPolygon({QPoint(a, 12), QPoint(a + 3, 15), QPoint(a, 18), QPoint(a, 12)}));
      int b = (e.UsedArea.Right - px + 1) * z + 7;
      p.drawPolyline(QPolygon({QPoint(b, 12), QPoint(b - 3, 15), QPoint(b, 18), QPoint(b, 12)}));
    }
  }
  Image_Sprite_X->update();

  QImage& ry = Image_Sprite_Y->Picture();
  ry.fill(face);
  {
    QPainter p(&ry);
    p.setFont(font);
    QFontMetrics fm(font);
    int label = SpriteCanvas::kHeight - (py + rows);
    for (int y = z == 1 ? areaHeight_ + 5 : areaHeight_ + 6 - z / 2; y > 5; y -= 24, label += d) {
      p.setPen(tick);
      p.drawLine(25, y, ry.width() - 1, y);
      p.setPen(Qt::black);
      QString text = QString::number(label);
      p.drawText(22 - fm.horizontalAdvance(text), y - 5 + fm.ascent(), text);
    }
    if (e.UsedArea.IsSet()) {
      p.setPen(Qt::black);
      int c = (e.UsedArea.Top - py) * z + 7;
      p.drawPolyline(QPolygon({QPoint(30, c), QPoint(27, c + 3), QPoint(24, c), QPoint(30, c)}));
      int f = (e.UsedArea.Bottom - py + 1) * z + 5;
      p.drawPolyline(QPolygon({QPoint(30, f), QPoint(27, f - 3), QPoint(24, f), QPoint(30, f)}));
    }
  }
  Image_Sprite_Y->update();
  (void)cols;
}

void TSpritePage::ExtendUsedArea(int left, int top, int right, int bottom) {
  if (TRICElement* e = Sprite())
    tavlin::ExtendUsedArea(e->Canvas, e->UsedArea, left, top, right, bottom);
}

void TSpritePage::CompressSprite() {
  TRICElement* e = Sprite();
  if (!e) return;
  EndPreview();  // the text preview's backup would bring back what is cut off
  if (!e->UsedArea.IsSet()) return;
  SetMarkedArea(-1, -1, -1, -1);
  CompressUsedArea(e->Canvas, e->UsedArea);
  ApplyZoom(e->ZoomFactor);
  RecordStep("Compress Sprite");
}

void TSpritePage::SetMarkedArea(int left, int top, int right, int bottom) {
  TRICElement* e = Sprite();
  if (e) e->MarkedArea = left == -1 ? kUnsetRect : Normalised(left, top, right, bottom);
  ShowAreaButtons(e && e->MarkedArea.IsSet());
  RedrawSpriteView();
}

void TSpritePage::ShowAreaButtons(bool marked) {
  for (QToolButton* b : areaButtons_) b->setVisible(marked);
  if (Menu_Edit_Sprite_MarkArea) Menu_Edit_Sprite_MarkArea->menuAction()->setVisible(marked);
}

}  // namespace tavlin
