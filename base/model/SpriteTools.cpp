#include "SpriteTools.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace tavlin {

namespace {

constexpr int W = SpriteCanvas::kWidth;
constexpr int H = SpriteCanvas::kHeight;
constexpr int T = SpriteCanvas::kTileSize;

int Clamp(int v, int low, int high) { return std::min(std::max(v, low), high); }

// Writes a row segment back, but only the tile-wide pieces that differ from
// what the canvas holds: untouched tiles stay shared with undo snapshots.
void WriteRowIfChanged(SpriteCanvas& canvas, int x, int y, int count, const std::uint8_t* in) {
  std::array<std::uint8_t, T> old{};
  int end = x + count;
  int pos = x;
  while (pos < end) {
    int stop = std::min(end, (pos / T + 1) * T);
    canvas.ReadRowIndexes(pos, y, stop - pos, old.data());
    if (std::memcmp(old.data(), in + (pos - x), std::size_t(stop - pos)) != 0)
      canvas.WriteRowIndexes(pos, y, stop - pos, in + (pos - x));
    pos = stop;
  }
}

// The canvas rectangle's indexes, row by row.
std::vector<std::uint8_t> ReadArea(const SpriteCanvas& canvas, const TRect& a) {
  int w = a.Right - a.Left + 1, h = a.Bottom - a.Top + 1;
  std::vector<std::uint8_t> px(std::size_t(w) * std::size_t(h));
  for (int j = 0; j < h; ++j)
    canvas.ReadRowIndexes(a.Left, a.Top + j, w, px.data() + std::size_t(j) * w);
  return px;
}

void WriteArea(SpriteCanvas& canvas, const TRect& a, const std::vector<std::uint8_t>& px) {
  int w = a.Right - a.Left + 1, h = a.Bottom - a.Top + 1;
  for (int j = 0; j < h; ++j)
    WriteRowIfChanged(canvas, a.Left, a.Top + j, w, px.data() + std::size_t(j) * w);
}

bool ValidArea(const TRect& a) {
  return a.Left >= 0 && a.Top >= 0 && a.Left <= a.Right && a.Top <= a.Bottom && a.Right < W &&
         a.Bottom < H;
}

bool RowHasBlack(const SpriteCanvas& canvas, int y, int left, int right) {
  std::array<std::uint8_t, W> row{};
  canvas.ReadRowIndexes(left, y, right - left + 1, row.data());
  return std::any_of(row.begin(), row.begin() + (right - left + 1),
                     [](std::uint8_t v) { return v == kBlackIndex; });
}

bool ColumnHasBlack(const SpriteCanvas& canvas, int x, int top, int bottom) {
  for (int y = top; y <= bottom; ++y)
    if (canvas.PixelIndex(x, y) == kBlackIndex) return true;
  return false;
}

// The horizontal span of the ellipse inscribed in an inclusive box, row by row.
struct Span {
  int from = 0, to = -1;  // empty when from > to
  bool Covers(int x) const { return x >= from && x <= to; }
};

std::vector<Span> EllipseSpans(int left, int top, int right, int bottom) {
  int w = right - left + 1, h = bottom - top + 1;
  std::vector<Span> spans(static_cast<std::size_t>(h));
  double a = w / 2.0, b = h / 2.0;
  double cx = left + a, cy = top + b;
  for (int j = 0; j < h; ++j) {
    double dy = (top + j + 0.5 - cy) / b;
    double hw = a * std::sqrt(std::max(0.0, 1.0 - dy * dy));
    Span s;
    s.from = int(std::ceil(cx - hw - 0.5 - 1e-9));
    s.to = int(std::floor(cx + hw - 0.5 + 1e-9));
    if (s.from > s.to) {  // too thin to cover a pixel centre: keep the middle pixel(s)
      s.from = left + (w - 1) / 2;
      s.to = left + w / 2;
    }
    // The middle row(s) reach the box's sides.
    if (j == (h - 1) / 2 || j == h / 2) s.from = left, s.to = right;
    s.from = std::max(s.from, left);
    s.to = std::min(s.to, right);
    spans[std::size_t(j)] = s;
  }
  return spans;
}

// Pixels of a line from (x1, y1) towards (x2, y2); the end pixel only when asked.
void LinePixels(SpriteCanvas& canvas, int x1, int y1, int x2, int y2, std::uint8_t colour,
                bool withEnd) {
  int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
  int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
  int err = dx + dy;
  int x = x1, y = y1;
  for (;;) {
    if (x == x2 && y == y2) break;
    canvas.SetPixelIndex(x, y, colour);
    int e2 = 2 * err;
    if (e2 >= dy) err += dy, x += sx;
    if (e2 <= dx) err += dx, y += sy;
  }
  if (withEnd) canvas.SetPixelIndex(x2, y2, colour);
}

}  // namespace

TRect Normalised(int x1, int y1, int x2, int y2) {
  return TRect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

void WhitenNonSet(SpriteCanvas& canvas, int x1, int y1, int x2, int y2) {
  TRect r = Normalised(x1, y1, x2, y2);
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  r.Right = std::min(r.Right, W - 1);
  r.Bottom = std::min(r.Bottom, H - 1);
  if (r.Left > r.Right || r.Top > r.Bottom) return;
  int w = r.Right - r.Left + 1;
  std::array<std::uint8_t, W> row{};
  for (int y = r.Top; y <= r.Bottom; ++y) {
    canvas.ReadRowIndexes(r.Left, y, w, row.data());
    for (int i = 0; i < w; ++i)
      if (row[std::size_t(i)] != kBlackIndex) row[std::size_t(i)] = kWhiteIndex;
    WriteRowIfChanged(canvas, r.Left, y, w, row.data());
  }
}

void ExtendUsedArea(SpriteCanvas& canvas, TRect& used, int left, int top, int right, int bottom) {
  left = Clamp(left, 0, W - 1);
  right = Clamp(right, 0, W - 1);
  top = Clamp(top, 0, H - 1);
  bottom = Clamp(bottom, 0, H - 1);
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (!used.IsSet()) {
    WhitenNonSet(canvas, left, top, right, bottom);
    used = TRect{left, top, right, bottom};
    return;
  }
  TRect& u = used;
  if (left < u.Left) {
    WhitenNonSet(canvas, left, u.Top, u.Left, u.Bottom);
    u.Left = left;
  }
  if (right > u.Right) {
    WhitenNonSet(canvas, u.Right, u.Top, right, u.Bottom);
    u.Right = right;
  }
  if (top < u.Top) {
    WhitenNonSet(canvas, u.Left, top, u.Right, u.Top);
    u.Top = top;
  }
  if (bottom > u.Bottom) {
    WhitenNonSet(canvas, u.Left, u.Bottom, u.Right, bottom);
    u.Bottom = bottom;
  }
}

bool CompressUsedArea(SpriteCanvas& canvas, TRect& used) {
  if (!used.IsSet()) return false;
  int l = used.Left, t = used.Top, r = used.Right, b = used.Bottom;
  while (t <= b && !RowHasBlack(canvas, t, l, r)) canvas.FillRect(l, t, r, t, kGrey), ++t;
  while (b >= t && !RowHasBlack(canvas, b, l, r)) canvas.FillRect(l, b, r, b, kGrey), --b;
  if (t > b) {
    used = kUnsetRect;
    return false;
  }
  while (l <= r && !ColumnHasBlack(canvas, l, t, b)) canvas.FillRect(l, t, l, b, kGrey), ++l;
  while (r >= l && !ColumnHasBlack(canvas, r, t, b)) canvas.FillRect(r, t, r, b, kGrey), --r;
  used = TRect{l, t, r, b};
  return true;
}

void DrawLine(SpriteCanvas& canvas, int x1, int y1, int x2, int y2, std::uint8_t colour) {
  LinePixels(canvas, x1, y1, x2, y2, colour, true);
}

void DrawRectShape(SpriteCanvas& canvas, int x1, int y1, int x2, int y2, std::uint8_t colour,
                   bool filled) {
  if (filled) {
    TRect r = Normalised(x1, y1, x2, y2);
    canvas.FillRect(r.Left, r.Top, r.Right, r.Bottom, PaletteColour(colour));
    return;
  }
  LinePixels(canvas, x1, y1, x1, y2, colour, false);
  LinePixels(canvas, x1, y2, x2, y2, colour, false);
  LinePixels(canvas, x2, y2, x2, y1, colour, false);
  LinePixels(canvas, x2, y1, x1, y1, colour, false);
}

void DrawEllipseInBox(SpriteCanvas& canvas, int left, int top, int right, int bottom,
                      std::uint8_t colour, bool filled) {
  if (left > right || top > bottom) return;
  const std::vector<Span> spans = EllipseSpans(left, top, right, bottom);
  int h = bottom - top + 1;
  Rgb rgb = PaletteColour(colour);
  for (int j = 0; j < h; ++j) {
    int y = top + j;
    if (y < 0 || y >= H) continue;
    const Span& s = spans[std::size_t(j)];
    int from = std::max(s.from, 0), to = std::min(s.to, W - 1);
    if (from > to) continue;
    if (filled) {
      canvas.FillRect(from, y, to, y, rgb);
      continue;
    }
    const Span none;
    const Span& above = j > 0 ? spans[std::size_t(j - 1)] : none;
    const Span& below = j + 1 < h ? spans[std::size_t(j + 1)] : none;
    // Edge pixels: the run's ends and those the row above or below does not cover.
    int innerFrom = std::max({s.from + 1, above.from, below.from});
    int innerTo = std::min({s.to - 1, above.to, below.to});
    if (innerFrom > innerTo) {
      canvas.FillRect(from, y, to, y, rgb);
      continue;
    }
    if (from < innerFrom) canvas.FillRect(from, y, std::min(to, innerFrom - 1), y, rgb);
    if (to > innerTo) canvas.FillRect(std::max(from, innerTo + 1), y, to, y, rgb);
  }
}

void DrawCircleShape(SpriteCanvas& canvas, int cx, int cy, int r, std::uint8_t colour,
                     bool filled) {
  r = std::abs(r);
  DrawEllipseInBox(canvas, cx - r, cy - r, cx + r, cy + r, colour, filled);
}

TRect EllipseDragBox(int x1, int y1, int x2, int y2) {
  int xa = std::min(x1, x2 + 1), xb = std::max(x1, x2 + 1);
  int ya = std::min(y1, y2 + 1), yb = std::max(y1, y2 + 1);
  if (xa >= xb || ya >= yb) return kUnsetRect;
  return TRect{xa, ya, xb - 1, yb - 1};
}

void DrawEllipseShape(SpriteCanvas& canvas, int x1, int y1, int x2, int y2, std::uint8_t colour,
                      bool filled) {
  TRect box = EllipseDragBox(x1, y1, x2, y2);
  if (box.IsSet())
    DrawEllipseInBox(canvas, box.Left, box.Top, box.Right, box.Bottom, colour, filled);
}

int FloodFill(SpriteCanvas& canvas, int x, int y, std::uint8_t colour) {
  if (!SpriteCanvas::Contains(x, y)) return 0;
  if (colour != kBlackIndex && colour != kWhiteIndex) return 0;
  const std::uint8_t target = colour == kBlackIndex ? kWhiteIndex : kBlackIndex;
  if (canvas.PixelIndex(x, y) != target) return 0;

  std::vector<std::uint8_t> px(std::size_t(W) * H);
  for (int row = 0; row < H; ++row)
    canvas.ReadRowIndexes(0, row, W, px.data() + std::size_t(row) * W);
  std::vector<int> rowFrom(H, W), rowTo(H, -1);

  // Scanline fill: each stacked seed fills its whole run, then seeds the
  // runs above and below that touch it.
  struct Seed {
    int x, y;
  };
  std::vector<Seed> stack{{x, y}};
  int changed = 0;
  while (!stack.empty()) {
    Seed s = stack.back();
    stack.pop_back();
    std::uint8_t* row = px.data() + std::size_t(s.y) * W;
    if (row[s.x] != target) continue;
    int l = s.x, r = s.x;
    while (l > 0 && row[l - 1] == target) --l;
    while (r < W - 1 && row[r + 1] == target) ++r;
    std::memset(row + l, colour, std::size_t(r - l + 1));
    changed += r - l + 1;
    rowFrom[std::size_t(s.y)] = std::min(rowFrom[std::size_t(s.y)], l);
    rowTo[std::size_t(s.y)] = std::max(rowTo[std::size_t(s.y)], r);
    for (int ny : {s.y - 1, s.y + 1}) {
      if (ny < 0 || ny >= H) continue;
      const std::uint8_t* n = px.data() + std::size_t(ny) * W;
      for (int i = l; i <= r; ++i) {
        if (n[i] != target) continue;
        stack.push_back({i, ny});
        while (i <= r && n[i] == target) ++i;
      }
    }
  }
  for (int row = 0; row < H; ++row)
    if (rowFrom[std::size_t(row)] <= rowTo[std::size_t(row)])
      WriteRowIfChanged(canvas, rowFrom[std::size_t(row)], row,
                        rowTo[std::size_t(row)] - rowFrom[std::size_t(row)] + 1,
                        px.data() + std::size_t(row) * W + rowFrom[std::size_t(row)]);
  return changed;
}

void ScrollArea(SpriteCanvas& canvas, const TRect& area, ScrollDirection direction) {
  if (!ValidArea(area)) return;
  const std::vector<std::uint8_t> c = ReadArea(canvas, area);
  std::vector<std::uint8_t> out(c.size());
  int w = area.Right - area.Left + 1, h = area.Bottom - area.Top + 1;
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) {
      int si = i, sj = j;
      switch (direction) {
        case ScrollDirection::Up:
          sj = (j + 1) % h;
          break;
        case ScrollDirection::Down:
          sj = (j + h - 1) % h;
          break;
        case ScrollDirection::Left:
          si = (i + 1) % w;
          break;
        case ScrollDirection::Right:
          si = (i + w - 1) % w;
          break;
      }
      out[std::size_t(j) * w + i] = c[std::size_t(sj) * w + si];
    }
  WriteArea(canvas, area, out);
}

void MirrorArea(SpriteCanvas& canvas, const TRect& area, bool horizontal) {
  if (!ValidArea(area)) return;
  std::vector<std::uint8_t> px = ReadArea(canvas, area);
  int w = area.Right - area.Left + 1, h = area.Bottom - area.Top + 1;
  if (horizontal) {
    for (int j = 0; j < h; ++j)
      std::reverse(px.begin() + std::ptrdiff_t(j) * w, px.begin() + std::ptrdiff_t(j + 1) * w);
  } else {
    for (int j = 0; j < h / 2; ++j)
      std::swap_ranges(px.begin() + std::ptrdiff_t(j) * w, px.begin() + std::ptrdiff_t(j + 1) * w,
                       px.begin() + std::ptrdiff_t(h - 1 - j) * w);
  }
  WriteArea(canvas, area, px);
}

void InvertArea(SpriteCanvas& canvas, const TRect& area) {
  if (!ValidArea(area)) return;
  std::vector<std::uint8_t> px = ReadArea(canvas, area);
  std::array<std::uint8_t, 256> inverse{};
  for (int i = 0; i < 256; ++i) inverse[std::size_t(i)] = std::uint8_t(i);
  inverse[kBlackIndex] = kWhiteIndex;
  inverse[kWhiteIndex] = kBlackIndex;
  for (std::uint8_t& v : px) {
    if (v != kBlackIndex && v != kWhiteIndex && inverse[v] == v)
      inverse[v] = PaletteIndex(~PaletteColour(v) & 0xFFFFFF);
    v = inverse[v];
  }
  WriteArea(canvas, area, px);
}

void FillArea(SpriteCanvas& canvas, const TRect& area, std::uint8_t colour) {
  if (!ValidArea(area)) return;
  canvas.FillRect(area.Left, area.Top, area.Right, area.Bottom, PaletteColour(colour));
}

void ConvertToDisplay(FloatingPicture& picture) {
  for (Rgb& c : picture.Pixels) {
    c &= 0xFFFFFF;
    if (c == kBlack)
      c = kFloatingSet;
    else if (c == kGrey || c == kWhite)
      c = kFloatingClear;
  }
}

void ConvertToCanvas(FloatingPicture& picture) {
  for (Rgb& c : picture.Pixels) {
    c &= 0xFFFFFF;
    if (c == kFloatingSet)
      c = kBlack;
    else if (c == kGrey || c == kFloatingClear)
      c = kWhite;
  }
}

FloatingPicture LiftArea(const SpriteCanvas& canvas, const TRect& area) {
  FloatingPicture p;
  if (!ValidArea(area)) return p;
  std::vector<std::uint8_t> px = ReadArea(canvas, area);
  p.Width = area.Right - area.Left + 1;
  p.Height = area.Bottom - area.Top + 1;
  p.Pixels.resize(px.size());
  for (std::size_t i = 0; i < px.size(); ++i) p.Pixels[i] = PaletteColour(px[i]);
  ConvertToDisplay(p);
  return p;
}

void RotatePicture(FloatingPicture& picture, bool clockwise) {
  if (picture.Empty()) return;
  int w = picture.Width, h = picture.Height;
  FloatingPicture q;
  q.Width = h;
  q.Height = w;
  q.Pixels.resize(picture.Pixels.size());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (clockwise)
        q.At(h - 1 - y, x) = picture.At(x, y);
      else
        q.At(y, w - 1 - x) = picture.At(x, y);
    }
  picture = std::move(q);
}

void StampPicture(SpriteCanvas& canvas, const FloatingPicture& picture, int x, int y) {
  if (picture.Empty()) return;
  int from = std::max(0, -x), to = std::min(picture.Width, W - x);
  if (from >= to) return;
  std::vector<std::uint8_t> row(std::size_t(to - from));
  for (int j = 0; j < picture.Height; ++j) {
    int cy = y + j;
    if (cy < 0 || cy >= H) continue;
    for (int i = from; i < to; ++i) {
      Rgb c = picture.At(i, j) & 0xFFFFFF;
      if (c == kFloatingSet)
        c = kBlack;
      else if (c == kGrey || c == kFloatingClear)
        c = kWhite;
      row[std::size_t(i - from)] = PaletteIndex(c);
    }
    WriteRowIfChanged(canvas, x + from, cy, to - from, row.data());
  }
}

PackedCanvas::PackedCanvas(const SpriteCanvas& canvas) : background_(canvas.Background()) {
  const std::uint8_t bg = canvas.BackgroundIndex();
  std::array<std::uint8_t, T * T> px{};
  for (int ty = 0; ty < SpriteCanvas::kTilesY; ++ty)
    for (int tx = 0; tx < SpriteCanvas::kTilesX; ++tx) {
      for (int j = 0; j < T; ++j) canvas.ReadRowIndexes(tx * T, ty * T + j, T, px.data() + j * T);
      if (std::all_of(px.begin(), px.end(), [bg](std::uint8_t v) { return v == bg; })) continue;
      Tile tile;
      tile.index = ty * SpriteCanvas::kTilesX + tx;
      tile.wide = std::any_of(px.begin(), px.end(), [](std::uint8_t v) { return v > 3; });
      if (tile.wide) {
        tile.data.assign(px.begin(), px.end());
      } else {
        tile.data.assign(px.size() / 4, 0);
        for (std::size_t i = 0; i < px.size(); ++i)
          tile.data[i / 4] = std::uint8_t(tile.data[i / 4] | (px[i] << (2 * (i % 4))));
      }
      tiles_.push_back(std::move(tile));
    }
}

SpriteCanvas PackedCanvas::Unpack() const {
  SpriteCanvas canvas(background_);
  std::array<std::uint8_t, T * T> px{};
  for (const Tile& tile : tiles_) {
    if (tile.wide) {
      std::copy(tile.data.begin(), tile.data.end(), px.begin());
    } else {
      for (std::size_t i = 0; i < px.size(); ++i) px[i] = (tile.data[i / 4] >> (2 * (i % 4))) & 3;
    }
    int tx = tile.index % SpriteCanvas::kTilesX, ty = tile.index / SpriteCanvas::kTilesX;
    for (int j = 0; j < T; ++j) canvas.WriteRowIndexes(tx * T, ty * T + j, T, px.data() + j * T);
  }
  return canvas;
}

std::size_t PackedCanvas::Bytes() const {
  std::size_t bytes = sizeof(*this) + tiles_.capacity() * sizeof(Tile);
  for (const Tile& t : tiles_) bytes += t.data.capacity();
  return bytes;
}

void ComposeSpriteView(const SpriteCanvas& canvas, const SpriteViewState& view, std::uint32_t* out,
                       int stride) {
  const int z = std::max(1, view.Zoom);
  const int areaW = std::clamp(view.AreaWidth, 0, SpriteCanvas::kWidth);
  const int areaH = std::clamp(view.AreaHeight, 0, SpriteCanvas::kHeight);
  const int cols = areaW / z, rows = areaH / z;
  std::array<std::uint32_t, 256> lut{};
  for (int i = 0; i < 256; ++i) lut[std::size_t(i)] = 0xFF000000u | PaletteColour(std::uint8_t(i));
  auto line = [&](int y) { return out + std::ptrdiff_t(y) * stride; };

  // 1. The canvas, each pixel a z x z block.
  std::array<std::uint8_t, SpriteCanvas::kWidth> indexes{};
  for (int r = 0; r < rows; ++r) {
    canvas.ReadRowIndexes(view.ScrollX, view.ScrollY + r, cols, indexes.data());
    std::uint32_t* first = line(1 + r * z) + 1;
    for (int c = 0; c < cols; ++c) std::fill_n(first + c * z, z, lut[indexes[std::size_t(c)]]);
    for (int k = 1; k < z; ++k)
      std::memcpy(line(1 + r * z + k) + 1, first, std::size_t(cols * z) * sizeof(std::uint32_t));
  }
  auto clip = [&](int& l, int& t, int& r, int& b) {  // to the view area, exclusive right/bottom
    l = std::max(l, 1), t = std::max(t, 1), r = std::min(r, areaW + 1), b = std::min(b, areaH + 1);
    return l < r && t < b;
  };
  // 2. The marked-area tint.
  if (view.Marked.IsSet()) {
    const TRect& m = view.Marked;
    int l = z * (m.Left - view.ScrollX) + 1, t = z * (m.Top - view.ScrollY) + 1;
    int r = z * (m.Right - view.ScrollX + 1) + 1, b = z * (m.Bottom - view.ScrollY + 1) + 1;
    if (clip(l, t, r, b))
      for (int y = t; y < b; ++y) {
        std::uint32_t* p = line(y);
        for (int x = l; x < r; ++x) p[x] = (p[x] & (0xFF000000u | kMarkMask)) | kMarkPaint;
      }
  }
  // 3. The floating picture, opaque.
  if (view.Floating && view.FloatingX != -1 && !view.Floating->Empty()) {
    const FloatingPicture& f = *view.Floating;
    int l = z * (view.FloatingX - view.ScrollX) + 1, t = z * (view.FloatingY - view.ScrollY) + 1;
    int r = z * (view.FloatingX + f.Width - view.ScrollX) + 1;
    int b = z * (view.FloatingY + f.Height - view.ScrollY) + 1;
    if (clip(l, t, r, b))
      for (int y = t; y < b; ++y) {
        int j = (y - 1) / z + view.ScrollY - view.FloatingY;
        std::uint32_t* p = line(y);
        for (int x = l; x < r; ++x) {
          int i = (x - 1) / z + view.ScrollX - view.FloatingX;
          p[x] = 0xFF000000u | f.At(i, j);
        }
      }
  }
  // 4. The grid: each vertical line the last column of a block, each
  // horizontal line the first row of one.
  if (z > 2) {
    const std::uint32_t g = 0xFF000000u | kGridColour;
    for (int x = z; x <= areaW; x += z)
      for (int y = 1; y <= areaH; ++y) line(y)[x] = g;
    for (int y = areaH + 1 - z; y >= 1; y -= z) std::fill_n(line(y) + 1, areaW, g);
  }
  // 5. The border.
  const std::uint32_t black = 0xFF000000u;
  std::fill_n(line(0), areaW + 2, black);
  std::fill_n(line(areaH + 1), areaW + 2, black);
  for (int y = 0; y < areaH + 2; ++y) line(y)[0] = line(y)[areaW + 1] = black;
}

}  // namespace tavlin
