#include "EditPage.h"

#include <QLabel>

#include "NxtImage.h"
#include "RICParameterEdit.h"

namespace tavlin {

void AddPageHeader(QWidget* page, const QString& header) {
  auto* band = new QLabel(header, page);
  band->setObjectName(page->objectName() + "_Header");
  band->setGeometry(4, 4, 657, 25);
  band->setAutoFillBackground(true);
  QPalette pal = band->palette();
  pal.setColor(QPalette::Window, QColor(0xC0, 0xDC, 0xC0));
  band->setPalette(pal);
  QFont f = band->font();
  f.setBold(true);
  f.setPixelSize(16);
  band->setFont(f);
  band->setIndent(8);
}

TRICParameterEdit* NewArgumentEdit(QWidget* page, const char* name, const QString& caption,
                                   int left, int top, int maxValue, int minValue) {
  auto* edit = new TRICParameterEdit(page);
  edit->setObjectName(name);
  edit->setCaption(caption);
  edit->setMinValue(minValue);
  edit->setMaxValue(maxValue);
  edit->setGeometry(left, top, 191, 28);
  return edit;
}

TScreenLayout::TScreenLayout(QWidget* page, TNxtImage* image, int zoom)
    : QObject(page), image_(image), zoom_(zoom) {
  // One label every 10 NXT pixels.
  for (int k = 0; k <= 9; ++k) {
    auto* l = new QLabel(QString::number(10 * k), page);
    l->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    xLabels_.append(l);
  }
  for (int k = 0; k <= 6; ++k) {
    auto* l = new QLabel(QString::number(10 * k), page);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    yLabels_.append(l);
  }
  PlaceLabels();
}

void TScreenLayout::AddBelow(QWidget* control) {
  below_.append({control, control->y() - ScreenHeight(zoom_)});
}

void TScreenLayout::SetZoom(int zoom) {
  if (zoom == zoom_) return;
  zoom_ = zoom;
  image_->Resize(ScreenWidth(zoom), ScreenHeight(zoom));
  PlaceLabels();
  for (const auto& [control, offset] : below_)
    control->move(control->x(), offset + ScreenHeight(zoom));
}

void TScreenLayout::PlaceLabels() {
  const int left = image_->x(), top = image_->y();
  const int width = image_->width(), height = image_->height();
  for (int k = 0; k < int(xLabels_.size()); ++k)
    xLabels_[k]->setGeometry(left + 1 + (width - 2) * 10 * k / 100, top - 16, 30, 14);
  for (int k = 0; k < int(yLabels_.size()); ++k) {
    int y = top + height - 1 - (height - 2) * 10 * k / 64 - (height - 2) / 64 / 2;
    yLabels_[k]->setGeometry(left - 28, y - 7, 24, 14);
  }
}

}  // namespace tavlin
