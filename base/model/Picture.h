// Pictures of RGB pixels, their size limits, and their conversion to the
// black-and-white pictures that sprites are made of. The image import dialog
// and the RicScript IMPORT item share these functions, so both cut a picture
// the same way. Decoding picture files is pictures/PictureDecode.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Colour.h"

namespace tavlin {

// A picture of RGB pixels, Width x Height, row after row from the top: what
// the decoders give, what the renderer paints a display into, and the sprite
// editor's floating picture.
struct Picture {
  int Width = 0;
  int Height = 0;
  std::vector<Rgb> Pixels;

  Picture() = default;
  Picture(int width, int height, Rgb fill = kWhite)
      : Width(width), Height(height), Pixels(std::size_t(width) * std::size_t(height), fill) {}
  Picture(int width, int height, std::vector<Rgb> pixels)
      : Width(width), Height(height), Pixels(std::move(pixels)) {}

  bool Empty() const { return Width <= 0 || Height <= 0; }
  Rgb At(int x, int y) const {
    return Pixels[std::size_t(y) * std::size_t(Width) + std::size_t(x)];
  }
  Rgb& At(int x, int y) { return Pixels[std::size_t(y) * std::size_t(Width) + std::size_t(x)]; }
  void Clear() { Width = Height = 0, Pixels.clear(); }
  bool operator==(const Picture&) const = default;
};

// The largest picture the loader accepts: each side at most kMaxPictureSide
// pixels and at most kMaxPicturePixels pixels in all. Checked before any
// pixel memory is allocated.
constexpr int kMaxPictureSide = 16384;
constexpr std::size_t kMaxPicturePixels = std::size_t(32) * 1024 * 1024;
// Larger files are refused before they are read.
constexpr std::size_t kMaxPictureFileBytes = std::size_t(256) * 1024 * 1024;

// Throws TavlinError(name, "picture of W x H pixels is too large ...") or
// "... has no pixels" unless 1 <= width, height <= kMaxPictureSide and
// width x height <= kMaxPicturePixels.
void CheckPictureSize(std::int64_t width, std::int64_t height, const std::string& name);

// Brightness of a colour in percent: 100 x max(R, G, B) / 255.
double BrightnessPercent(int r, int g, int b);
double BrightnessPercent(Rgb colour);

// Whether a pixel of this colour becomes black under the threshold (0..100):
// exactly when threshold >= BrightnessPercent, tested in integers as
// 100 x max(R, G, B) <= 255 x threshold.
bool IsBlackAtThreshold(Rgb colour, int threshold);

// The picture stretched to width x height by plain pixel repetition or
// omission (no smoothing; the aspect ratio is not kept). A size of 0 gives an
// empty picture; an empty source gives a white one. Sizes are limited like
// decoded pictures.
Picture StretchPicture(const Picture& source, int width, int height);

// The picture stretched to width x height and cut into black #000000 and white
// #FFFFFF at the threshold (IsBlackAtThreshold).
Picture ConvertToBlackAndWhite(const Picture& source, int width, int height, int threshold);

}  // namespace tavlin
