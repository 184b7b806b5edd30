#include "EditPage.h"

#include <QLabel>

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

void AddAxisLabels(QWidget* page, int left, int top, int width, int height) {
  // One label every 10 NXT pixels.
  for (int k = 0; k <= 9; ++k) {
    auto* l = new QLabel(QString::number(10 * k), page);
    l->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    l->setGeometry(left + 1 + (width - 2) * 10 * k / 100, top - 16, 30, 14);
  }
  for (int k = 0; k <= 6; ++k) {
    auto* l = new QLabel(QString::number(10 * k), page);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    int y = top + height - 1 - (height - 2) * 10 * k / 64 - (height - 2) / 64 / 2;
    l->setGeometry(left - 28, y - 7, 24, 14);
  }
}

}  // namespace tavlin
