#include "DisplayAdapter.h"

#include "DisplayImage.h"
#include "Document.h"
#include "RICInterpreter.h"

namespace tavlin {

void RenderDocumentInto(NXTDisplay& display, int dx, int dy, const RICDocument& document) {
  RenderDocument(display, dx, dy, document.ElementList(), document.Parameters().ParameterSet);
}

void RenderElementAlone(NXTDisplay& display, int index, const RICDocument& document) {
  display.ClearDisplay();
  const RICElementList& list = document.ElementList();
  if (const TRICElement* e = list.At(index))
    RenderElement(display, *e, 0, 0, -1, list, document.Parameters().ParameterSet, index);
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
