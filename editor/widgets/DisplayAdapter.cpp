#include "DisplayAdapter.h"

#include "DisplayImage.h"
#include "ParameterSet.h"
#include "RICElement.h"
#include "RICInterpreter.h"

namespace tavlin {

void RenderDocumentInto(NXTDisplay& display, int dx, int dy) {
  RenderDocument(display, dx, dy, ElementList, ParameterSet);
}

void RenderElementAlone(NXTDisplay& display, int index) {
  display.ClearDisplay();
  if (const TRICElement* e = ElementList.At(index))
    RenderElement(display, *e, 0, 0, -1, ElementList, ParameterSet, index);
}

QImage ZoomedDisplayImage(const NXTDisplay& display, int width, int height) {
  RgbImage painted(width, height);
  PaintZoomedDisplay(display, painted);
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    const Rgb* src = painted.Pixels.data() + std::size_t(y) * std::size_t(width);
    for (int x = 0; x < width; ++x) line[x] = 0xFF000000u | src[x];
  }
  return image;
}

QPoint NxtPointFromMouse(int width, int height, int mouseX, int mouseY) {
  NXTPoint p = DisplayPointFromMouse(width, height, mouseX, mouseY);
  return QPoint(p.X, p.Y);
}

}  // namespace tavlin
