#include "DisplayImage.h"

#include <algorithm>

namespace tavlin {

namespace {

// The frame's interior, (1, 1) to (W - 2, H - 2), holds the scaled surface:
// exactly zoom x 100 by zoom x 64 pixels on the editor's images, so each NXT
// pixel is a zoom x zoom square starting under its grid lines.
int InteriorWidth(int imageWidth) { return imageWidth - 2; }
int InteriorHeight(int imageHeight) { return imageHeight - 2; }

}  // namespace

void PaintZoomedDisplay(const NXTDisplay& display, RgbImage& image) {
  const int W = image.Width, H = image.Height;
  if (W <= 0 || H <= 0) return;
  const int iw = InteriorWidth(W), ih = InteriorHeight(H);
  if (iw > 0 && ih > 0) {
    std::vector<int> sourceColumn(static_cast<std::size_t>(iw));
    for (int c = 0; c < iw; ++c)
      sourceColumn[std::size_t(c)] = int((long long)c * NXTDisplay::kWidth / iw);
    for (int r = 0; r < ih; ++r) {
      const int row = int((long long)r * NXTDisplay::kHeight / ih);
      const Rgb* src = display.Pixels() + row * NXTDisplay::kWidth;
      Rgb* out = &image.At(1, r + 1);
      for (int c = 0; c < iw; ++c) out[c] = src[sourceColumn[std::size_t(c)]];
    }
  }

  const int zoom = W / NXTDisplay::kWidth;
  if (zoom > 1) {
    for (int i = 0; i < NXTDisplay::kWidth; ++i) {
      const int x = zoom * i + 1;
      if (x >= W) break;
      const Rgb colour = i % 10 == 0 ? kGridDark : kGridLight;
      for (int y = 0; y < H; ++y) image.At(x, y) = colour;
    }
    for (int j = 0; j < NXTDisplay::kHeight; ++j) {
      const int y = zoom * j + 1;
      if (y >= H) break;
      const Rgb colour = (64 - j) % 10 == 0 ? kGridDark : kGridLight;
      std::fill_n(&image.At(0, y), W, colour);
    }
  }

  std::fill_n(&image.At(0, 0), W, kBlack);
  std::fill_n(&image.At(0, H - 1), W, kBlack);
  for (int y = 0; y < H; ++y) {
    image.At(0, y) = kBlack;
    image.At(W - 1, y) = kBlack;
  }
}

NXTPoint DisplayPointFromMouse(int imageWidth, int imageHeight, int mouseX, int mouseY) {
  // The inverse of the scaling above; on the editor's images this is
  // (mouse - 1) div zoom. Division truncates toward zero, so the frame's
  // column and row 0 map like 1.
  const int iw = std::max(1, InteriorWidth(imageWidth));
  const int ih = std::max(1, InteriorHeight(imageHeight));
  long long x = ((long long)mouseX - 1) * NXTDisplay::kWidth / iw;
  long long y = 63 - ((long long)mouseY - 1) * NXTDisplay::kHeight / ih;
  x = std::clamp(x, 0LL, (long long)NXTDisplay::kWidth - 1);
  y = std::clamp(y, 0LL, (long long)NXTDisplay::kHeight - 1);
  return {int(x), int(y)};
}

RgbImage ScaleDisplay(const NXTDisplay& display, int zoom) {
  zoom = std::max(zoom, 1);
  RgbImage image(NXTDisplay::kWidth * zoom, NXTDisplay::kHeight * zoom);
  for (int y = 0; y < image.Height; ++y) {
    const Rgb* src = display.Pixels() + (y / zoom) * NXTDisplay::kWidth;
    Rgb* out = &image.At(0, y);
    for (int x = 0; x < image.Width; ++x) out[x] = src[x / zoom];
  }
  return image;
}

}  // namespace tavlin
