#include "SpritePage.h"

#include <QLabel>
#include <QPainter>
#include <QSpinBox>

#include "EditPage.h"
#include "Tavlin_main.h"

namespace tavlin {

TSpritePage::TSpritePage(TForm_Tavlin& window, QWidget* parent) : QWidget(parent), window_(window) {
  setObjectName("TabSheet_Edit_Sprite");
  AddPageHeader(this, "Sprite");
  auto* label = new QLabel("Sprite ID", this);
  label->setObjectName("Label_Sprite_ID");
  label->move(8, 43);
  SpinEdit_Sprite_ID = new QSpinBox(this);
  SpinEdit_Sprite_ID->setObjectName("SpinEdit_Sprite_ID");
  SpinEdit_Sprite_ID->setRange(1, 10);
  SpinEdit_Sprite_ID->setToolTip("Set the ID for the sprite");
  SpinEdit_Sprite_ID->setGeometry(72, 40, 48, 22);
  connect(SpinEdit_Sprite_ID, &QSpinBox::valueChanged, this, [this] { SpinEdit_Sprite_IDChange(); });
  Image_Mark = new QLabel(this);
  Image_Mark->setObjectName("Image_Mark");
  Image_Mark->setGeometry(0, 0, 20, 4);
  Image_Mark->hide();
}

void TSpritePage::ShowSprite(TRICElement& e) { SpinEdit_Sprite_ID->setValue(e.ID); }

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
  TRICElement* e = window_.SelectedElement;
  if (!window_.EditEventsEnabled || !e || e->Kind != RICElementKind::Sprite) return;
  e->ID = std::uint16_t(SpinEdit_Sprite_ID->value());
  window_.RefreshSelectedRow();
  window_.MarkModified();
}

}  // namespace tavlin
