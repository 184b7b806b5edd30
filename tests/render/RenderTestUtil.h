// Helpers shared by the render and command-line tests: pictures as text
// grids, a PNG reader, and straightforward reference versions of the line and
// circle algorithms to hold the clipped primitives against.
#pragma once

#include <png.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "Colour.h"
#include "DisplayImage.h"
#include "NXTDisplay.h"

namespace tavlin::test {

// One character per pixel: '.' white, '#' black, 'g' grey, '?' anything else.
inline char PixelChar(Rgb c) {
  switch (c) {
    case kWhite:
      return '.';
    case kBlack:
      return '#';
    case kGrey:
      return 'g';
    default:
      return '?';
  }
}

inline std::vector<std::string> Grid(const RgbImage& image) {
  std::vector<std::string> rows;
  for (int y = 0; y < image.Height; ++y) {
    std::string row;
    for (int x = 0; x < image.Width; ++x) row += PixelChar(image.At(x, y));
    rows.push_back(row);
  }
  return rows;
}

inline std::vector<std::string> Grid(const NXTDisplay& display) {
  return Grid(ScaleDisplay(display, 1));
}

inline std::string Joined(const std::vector<std::string>& rows) {
  std::string s;
  for (const std::string& r : rows) s += r + "\n";
  return s;
}

// A grid file: one line per row, '.', '#', 'g'; lines starting with ';' are comments.
inline std::vector<std::string> ReadGridFile(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> rows;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    rows.push_back(line);
  }
  return rows;
}

// The black pixels of the display as NXT points (x, y = 63 - row).
inline std::set<std::pair<int, int>> BlackPoints(const NXTDisplay& d) {
  std::set<std::pair<int, int>> points;
  for (int row = 0; row < NXTDisplay::kHeight; ++row)
    for (int col = 0; col < NXTDisplay::kWidth; ++col)
      if (d.Pixel(col, row) == kBlack) points.insert({col, 63 - row});
  return points;
}

// Reads an 8-bit RGB or RGBA PNG file; false when it cannot.
inline bool ReadPng(const std::string& path, RgbImage& image) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  png_image p{};
  p.version = PNG_IMAGE_VERSION;
  bool ok = false;
  if (png_image_begin_read_from_stdio(&p, f)) {
    p.format = PNG_FORMAT_RGB;
    std::vector<png_byte> buffer(PNG_IMAGE_SIZE(p));
    if (png_image_finish_read(&p, nullptr, buffer.data(), 0, nullptr)) {
      image = RgbImage(int(p.width), int(p.height));
      for (std::size_t i = 0; i < image.Pixels.size(); ++i)
        image.Pixels[i] = RgbOf(buffer[3 * i], buffer[3 * i + 1], buffer[3 * i + 2]);
      ok = true;
    }
  }
  png_image_free(&p);
  std::fclose(f);
  return ok;
}

// --- reference algorithms, written as plainly as they are described ---

// The points the line algorithm plots, in order, before any clipping.
inline std::vector<std::pair<long long, long long>> ReferenceLine(long long x1, long long y1,
                                                                  long long x2, long long y2) {
  std::vector<std::pair<long long, long long>> pts;
  auto sign = [](long long v) { return (v > 0) - (v < 0); };
  long long ax = 2 * (x2 > x1 ? x2 - x1 : x1 - x2), sx = sign(x2 - x1);
  long long ay = 2 * (y2 > y1 ? y2 - y1 : y1 - y2), sy = sign(y2 - y1);
  long long x = x1, y = y1;
  if (ax > ay) {
    long long e = ay - ax / 2;
    do {
      pts.push_back({x, y});
      if (e >= 0) {
        y += sy;
        e -= ax;
      }
      x += sx;
      e += ay;
    } while (x != x2);
  } else {
    long long e = ax - ay / 2;
    do {
      pts.push_back({x, y});
      if (e >= 0) {
        x += sx;
        e -= ay;
      }
      y += sy;
      e += ax;
    } while (y != y2);
  }
  pts.push_back({x2, y2});
  return pts;
}

// The quadrant points (x, y) the circle walk visits.
inline std::vector<std::pair<long long, long long>> ReferenceCircleWalk(long long r) {
  std::vector<std::pair<long long, long long>> pts;
  long long x = 0, y = r, d = 2 - 2 * r;
  while (y >= 0) {
    pts.push_back({x, y});
    bool diagonal = false;
    if (d < 0) {
      if (2 * d + 2 * y - 1 <= 0) {
        x += 1;
        d += 2 * x + 1;
      } else {
        diagonal = true;
      }
    } else if (d > 0) {
      if (2 * d - 2 * x - 1 > 0) {
        y -= 1;
        d += 1 - 2 * y;
      } else {
        diagonal = true;
      }
    } else {
      diagonal = true;
    }
    if (diagonal) {
      x += 1;
      y -= 1;
      d += 2 * x - 2 * y + 2;
    }
  }
  return pts;
}

// Plots NXT points (with the offset already applied) onto a reference display.
inline void PlotReference(NXTDisplay& d, long long x, long long y) {
  if (x >= 0 && x < NXTDisplay::kWidth && y >= 0 && y < NXTDisplay::kHeight)
    d.SetPixel(int(x), int(63 - y), kBlack);
}

// The firmware's ellipse walk over one quadrant, radii rx, ry > 0, point by
// point in exact arithmetic.
inline std::vector<std::pair<long long, long long>> ReferenceEllipseWalk(long long rx,
                                                                         long long ry) {
  std::vector<std::pair<long long, long long>> pts;
  const long long a2 = rx * rx, b2 = ry * ry;
  long long x = 0, y = ry, t = -a2 * y, dxt = 0, dyt = -2 * a2 * y;
  while (y >= 0 && x <= rx) {
    pts.push_back({x, y});
    const bool right = t + b2 * x <= -(a2 / 4 + rx % 2 + b2) || t + a2 * y <= -(b2 / 4 + ry % 2);
    const bool down = !right && t - a2 * y > -(b2 / 4 + ry % 2 + a2);
    if (!down) x++, dxt += 2 * b2, t += dxt;
    if (!right) y--, dyt += 2 * a2, t += dyt;
  }
  return pts;
}

// That walk's outline, each point mirrored four ways.
inline void PlotReferenceEllipse(NXTDisplay& d, long long cx, long long cy, long long rx,
                                 long long ry) {
  for (const auto& [x, y] : ReferenceEllipseWalk(rx, ry))
    for (long long sx : {-1, 1})
      for (long long sy : {-1, 1}) PlotReference(d, cx + sx * x, cy + sy * y);
}

// A random ellipse centre for radii rx, ry: a third of them put a random
// point of the arc on a random pixel of the surface, a third lie anywhere
// the outline may reach the surface, a third anywhere in the 16-bit range.
template <class Rng>
std::pair<int, int> RandomEllipseCentre(Rng& rng, int rx, int ry) {
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  switch (pick(0, 2)) {
    case 0: {
      const double angle = std::uniform_real_distribution<double>(0, 6.2832)(rng);
      return {pick(0, 99) - int(std::lround(rx * std::cos(angle))),
              pick(0, 63) - int(std::lround(ry * std::sin(angle)))};
    }
    case 1:
      return {pick(-rx - 2, rx + 101), pick(-ry - 2, ry + 65)};
    default:
      return {pick(-32768, 32767), pick(-32768, 32767)};
  }
}

}  // namespace tavlin::test
