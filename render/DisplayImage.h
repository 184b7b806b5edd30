// Painting the NXT display into bigger pictures: the zoomed view with its
// pixel grid that the editor's images show, the plain enlargement the
// command-line tool writes, and the way back from a mouse position to an NXT
// point. Pictures are plain pixel buffers; the editor wraps them in a QImage.
#pragma once

#include <vector>

#include "Colour.h"
#include "NXTDisplay.h"
#include "Picture.h"

namespace tavlin {

// The pictures painted here: each pixel 0x00RRGGBB, row after row from the
// top (QImage::Format_RGB32 can wrap the buffer as it is).
using RgbImage = Picture;

// Grid colours of the zoomed view: every tenth line is darker.
constexpr Rgb kGridDark = 0xA0A0A0;
constexpr Rgb kGridLight = 0xCFCFCF;

// Paints the display into `image` (whose size is kept): the surface scaled
// with nearest pixels into the area inside a one-pixel black frame, then, when
// the zoom (Width div 100) is above 1, a grid line on the left edge of every
// NXT column and the top edge of every surface row, dark on NXT columns
// 0, 10, .., 90 and on the bottom edges of NXT rows 10, 20, .., 60. The
// editor's images are 102 x 66 (zoom 1, no grid) and 602 x 386 (zoom 6).
void PaintZoomedDisplay(const NXTDisplay& display, RgbImage& image);

// An NXT point (x grows right, y grows up from the bottom-left corner).
struct NXTPoint {
  int X = 0;
  int Y = 0;
  bool operator==(const NXTPoint&) const = default;
};

// The NXT point shown under mouse position (mouseX, mouseY) on an image of
// that size painted by PaintZoomedDisplay, clamped to the display.
NXTPoint DisplayPointFromMouse(int imageWidth, int imageHeight, int mouseX, int mouseY);
inline NXTPoint DisplayPointFromMouse(const RgbImage& image, int mouseX, int mouseY) {
  return DisplayPointFromMouse(image.Width, image.Height, mouseX, mouseY);
}

// The display enlarged zoom times (zoom >= 1), each pixel a zoom x zoom
// square, with no grid and no frame.
RgbImage ScaleDisplay(const NXTDisplay& display, int zoom);

}  // namespace tavlin
