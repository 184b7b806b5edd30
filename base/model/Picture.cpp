#include "Picture.h"

#include <algorithm>
#include "TavlinError.h"

namespace tavlin {

void CheckPictureSize(std::int64_t width, std::int64_t height, const std::string& name) {
  if (width <= 0 || height <= 0)
    throw TavlinError(name, "the picture has no pixels (" + std::to_string(width) + " x " +
                                std::to_string(height) + ")");
  if (width > kMaxPictureSide || height > kMaxPictureSide ||
      std::uint64_t(width) * std::uint64_t(height) > kMaxPicturePixels)
    throw TavlinError(name, "the picture is too large (" + std::to_string(width) + " x " +
                                std::to_string(height) + " pixels; at most " +
                                std::to_string(kMaxPictureSide) + " on a side and " +
                                std::to_string(kMaxPicturePixels) + " pixels in all)");
}

double BrightnessPercent(int r, int g, int b) { return 100.0 * std::max({r, g, b}) / 255.0; }

double BrightnessPercent(Rgb colour) {
  return BrightnessPercent(int((colour >> 16) & 0xFF), int((colour >> 8) & 0xFF),
                           int(colour & 0xFF));
}

bool IsBlackAtThreshold(Rgb colour, int threshold) {
  int brightest = int(std::max({(colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF}));
  return 100 * brightest <= 255 * threshold;
}

Picture StretchPicture(const Picture& source, int width, int height) {
  Picture out;
  if (width <= 0 || height <= 0) return out;
  CheckPictureSize(width, height, "");
  out.Width = width;
  out.Height = height;
  if (source.Empty()) {
    out.Pixels.assign(std::size_t(width) * std::size_t(height), kWhite);
    return out;
  }
  out.Pixels.resize(std::size_t(width) * std::size_t(height));
  // Source column of each target column, worked out once.
  std::vector<int> columns(std::size_t(width), 0);
  for (int x = 0; x < width; ++x)
    columns[std::size_t(x)] = int(std::int64_t(x) * source.Width / width);
  Rgb* target = out.Pixels.data();
  for (int y = 0; y < height; ++y) {
    int sy = int(std::int64_t(y) * source.Height / height);
    const Rgb* row = source.Pixels.data() + std::size_t(sy) * std::size_t(source.Width);
    for (int x = 0; x < width; ++x) *target++ = row[columns[std::size_t(x)]];
  }
  return out;
}

Picture ConvertToBlackAndWhite(const Picture& source, int width, int height, int threshold) {
  Picture out = StretchPicture(source, width, height);
  for (Rgb& pixel : out.Pixels) pixel = IsBlackAtThreshold(pixel, threshold) ? kBlack : kWhite;
  return out;
}

}  // namespace tavlin
