#include "BrickRenderer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>
#include <unordered_map>

namespace tavlin {

const char* BrickVariantName(BrickVariant v) {
  switch (v) {
    case BrickVariant::Lego:
      return "lego";
    case BrickVariant::Enhanced131:
      return "enhanced131";
    case BrickVariant::Enhanced132:
      return "enhanced132";
  }
  return "enhanced132";
}

std::optional<BrickVariant> ParseBrickVariant(std::string_view name) {
  for (BrickVariant v : {BrickVariant::Lego, BrickVariant::Enhanced131, BrickVariant::Enhanced132})
    if (name == BrickVariantName(v)) return v;
  return std::nullopt;
}

namespace {

constexpr int kW = NXTDisplay::kWidth;
constexpr int kH = NXTDisplay::kHeight;

// The firmware computes in 32-bit registers and 16-bit fields that wrap; so do we.
std::int32_t Wrap32(std::int64_t v) { return std::int32_t(std::uint32_t(std::uint64_t(v))); }
std::int16_t Wrap16(std::int64_t v) { return std::int16_t(std::uint16_t(std::uint64_t(v))); }
std::uint8_t Wrap8(std::int64_t v) { return std::uint8_t(std::uint64_t(v)); }
// 32-bit division truncating toward zero, where the lowest number divided by
// -1 wraps to itself instead of trapping.
std::int32_t Divide(std::int32_t a, std::int32_t b) {
  return b == -1 ? Wrap32(-std::int64_t(a)) : a / b;
}

// A screen row as bits, the leftmost column the highest bit, so that sprite
// bytes (bit 7 leftmost) shift straight into place.
__extension__ typedef unsigned __int128 Row;
Row ColumnBit(int column) { return Row(1) << (127 - column); }
// Columns first .. first + count - 1 (all within the screen).
Row Span(int first, int count) {
  const Row ones = count >= 128 ? ~Row(0) : (Row(1) << count) - 1;
  return ones << (128 - first - count);
}

enum class PixelMode : std::uint8_t { Set, Clear, Invert };
enum class Logic : std::uint8_t { Copy, And, Or, Xor };

struct BitmapMode {
  bool Invert = false;
  Logic Op = Logic::Copy;
  bool Fill = false;
};

BitmapMode BitmapModeOf(std::uint16_t options) {
  BitmapMode m;
  m.Invert = options & 0x04;
  switch (options & 0x18) {
    case 0x08:
      m.Op = Logic::And;
      break;
    case 0x10:
      m.Op = Logic::Or;
      break;
    case 0x18:
      m.Op = Logic::Xor;
      break;
    default:
      m.Op = Logic::Copy;
  }
  m.Fill = options & 0x20;
  return m;
}

// Shapes: the combinations the firmware calls "no operation" still draw black
// and hollow inside a picture, because the interpreter ignores that verdict.
void ShapeModeOf(std::uint16_t options, PixelMode& mode, bool& fill) {
  fill = options & 0x20;
  const unsigned logic = options & 0x18;
  if (options & 0x04) {
    if (logic == 0x00 || logic == 0x08) {
      mode = PixelMode::Clear;
      return;
    }
  } else if (logic == 0x00 || logic == 0x10) {
    mode = PixelMode::Set;
    return;
  } else if (logic == 0x18) {
    mode = PixelMode::Invert;
    return;
  }
  mode = PixelMode::Set;
  fill = false;
}

// The brick's system font, as far as "%d" needs it: six column bytes per
// character, bit 0 the top row.
// clang-format off
constexpr std::array<std::array<std::uint8_t, 6>, 11> kDigitGlyphs = {{
  {0x3E, 0x51, 0x49, 0x45, 0x3E, 0x00},  // 0
  {0x00, 0x42, 0x7F, 0x40, 0x00, 0x00},  // 1
  {0x62, 0x51, 0x49, 0x49, 0x46, 0x00},  // 2
  {0x22, 0x49, 0x49, 0x49, 0x36, 0x00},  // 3
  {0x18, 0x14, 0x12, 0x7F, 0x10, 0x00},  // 4
  {0x2F, 0x49, 0x49, 0x49, 0x31, 0x00},  // 5
  {0x3C, 0x4A, 0x49, 0x49, 0x30, 0x00},  // 6
  {0x01, 0x71, 0x09, 0x05, 0x03, 0x00},  // 7
  {0x36, 0x49, 0x49, 0x49, 0x36, 0x00},  // 8
  {0x06, 0x49, 0x49, 0x29, 0x1E, 0x00},  // 9
  {0x08, 0x08, 0x08, 0x08, 0x08, 0x00},  // -
}};
// clang-format on

const std::array<std::uint8_t, 6>& GlyphOf(char c) {
  return c == '-' ? kDigitGlyphs[10] : kDigitGlyphs[std::size_t(c - '0')];
}

// Size words below these make the brick skip the op (index: opcode).
constexpr std::array<std::uint16_t, 11> kMinimumSize = {0, 10, 10, 18, 10, 12, 12, 10, 10, 12, 18};

// clang-format off
constexpr std::array<const char*, 11> kOpName = {
  "Description", "Sprite", "VarMap", "CopyBits", "Pixel", "Line", "Rectangle", "Circle", "NumBox",
  "Ellipse", "Polygon"};
// clang-format on

// The argument words of each drawing op, by byte offset from the op's start.
struct ArgField {
  int Offset;
  const char* Name;
};
// clang-format off
const std::vector<ArgField> kArgFields[11] = {
  {}, {}, {},
  {{4, "CopyOpt"}, {6, "SpriteID"}, {8, "PosX"}, {10, "PosY"}, {12, "Width"}, {14, "Height"},
   {16, "RelX"}, {18, "RelY"}},
  {{4, "CopyOpt"}, {6, "PosX"}, {8, "PosY"}},
  {{4, "CopyOpt"}, {6, "X1"}, {8, "Y1"}, {10, "X2"}, {12, "Y2"}},
  {{4, "CopyOpt"}, {6, "PosX"}, {8, "PosY"}, {10, "Width"}, {12, "Height"}},
  {{4, "CopyOpt"}, {6, "PosX"}, {8, "PosY"}, {10, "Radius"}},
  {{4, "CopyOpt"}, {6, "PosX"}, {8, "PosY"}, {10, "Value"}},
  {{4, "CopyOpt"}, {6, "PosX"}, {8, "PosY"}, {10, "RadiusX"}, {12, "RadiusY"}},
  {{4, "CopyOpt"}},
};
// clang-format on

std::string Format(const char* fmt, long long a = 0, long long b = 0, long long c = 0) {
  char buf[160];
  std::snprintf(buf, sizeof buf, fmt, a, b, c);
  return buf;
}

// One run of a picture: walks the ops as the firmware does, drawing into a
// one-byte-per-pixel screen (1 black, row 0 the top) and collecting what it
// finds along the way.
class BrickRun {
 public:
  BrickRun(const std::uint8_t* ric, std::size_t size, const BrickCall& call)
      : ric_(ric),
        size_(size),
        call_(call),
        lego_(call.Variant == BrickVariant::Lego),
        v132_(call.Variant == BrickVariant::Enhanced132) {
    table_.fill(kNone);
  }

  // The screen, one row per entry, column c at bit 127 - c (1 black).
  std::array<Row, kH> rows{};
  std::vector<BrickFinding> undefined;
  std::vector<BrickFinding> checks;
  bool checking = false;

  void Run();

 private:
  static constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

  // --- reading the picture bytes; beyond them the brick's result is undefined ---
  bool Has(std::int64_t offset, std::int64_t bytes) const {
    return offset >= 0 && bytes >= 0 && std::uint64_t(offset + bytes) <= size_;
  }
  std::uint16_t Word(std::int64_t offset) {
    if (!Has(offset, 2)) {
      Undefined("reads past the end of the file");
      return 0;
    }
    return std::uint16_t(ric_[offset] | (ric_[offset + 1] << 8));
  }
  void Undefined(const std::string& text, bool alsoCheck = true) {
    bad_ = true;
    Add(undefined, text);
    if (checking && alsoCheck) Add(checks, text);
  }
  void Check(const std::string& text) {
    if (checking) Add(checks, text);
  }
  void Add(std::vector<BrickFinding>& list, const std::string& text) {
    for (const BrickFinding& f : list)
      if (f.Element == element_ && f.Text == text) return;
    list.push_back({element_, text});
  }

  // --- argument words ---
  std::int32_t Resolve(std::uint16_t word);
  std::int32_t Arg(int fieldOffset) { return Resolve(Word(op_ + fieldOffset)); }
  void CheckArgument(std::uint16_t word, const char* name);

  // --- pixels ---
  void Plot(int column, int row, PixelMode mode) {
    Apply(rows[std::size_t(row)], ColumnBit(column), mode);
  }
  static void Apply(Row& row, Row bits, PixelMode mode) {
    if (mode == PixelMode::Set)
      row |= bits;
    else if (mode == PixelMode::Clear)
      row &= ~bits;
    else
      row ^= bits;
  }
  // The source bits `source` combined with the screen row where `mask` is set.
  static void Combine(Row& row, Row source, Row mask, Logic op) {
    switch (op) {
      case Logic::And:
        row &= source | ~mask;
        break;
      case Logic::Xor:
        row ^= source & mask;
        break;
      case Logic::Or:
        row |= source & mask;
        break;
      case Logic::Copy:
        row = (row & ~mask) | (source & mask);
        break;
    }
  }
  // NXT point, clipped exactly.
  void SetPixel(std::int64_t x, std::int64_t y, PixelMode mode) {
    const std::int64_t row = kH - 1 - y;
    if (x >= 0 && x < kW && row >= 0 && row < kH) Plot(int(x), int(row), mode);
  }
  // Display-level pixel: both coordinates cast to 8 bits, then clipped.
  void SetPixel8(std::int64_t x, std::int64_t y) {
    const std::uint8_t c = Wrap8(x), r = Wrap8(kH - 1 - y);
    if (c < kW && r < kH) Plot(c, r, PixelMode::Set);
  }

  // --- the LEGO firmware's drawing ---
  void LegoLine(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2);
  void LegoRect(std::int64_t left, std::int64_t bottom, std::int64_t width, std::int64_t height);

  // --- the enhanced firmware's drawing ---
  void Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, PixelMode mode);
  void Rect(std::int32_t left, std::int32_t bottom, std::int32_t width, std::int32_t height,
            PixelMode mode, bool fill);
  void Ellipse(std::int16_t xc, std::int16_t yc, std::int16_t a, std::int16_t b, PixelMode mode,
               bool fill);
  void Polygon(const std::vector<std::array<std::int16_t, 2>>& points, PixelMode mode, bool fill,
               bool polyline);

  // --- both ---
  void CopyBits(std::int32_t dstX, std::int32_t dstY, std::int32_t srcX, std::int32_t srcY,
                std::int32_t width, std::int32_t height, std::size_t sprite, BitmapMode mode);
  void Text(const std::string& text, std::uint8_t x, std::uint8_t y, BitmapMode mode);
  void Font(std::uint16_t width, std::uint16_t height);

  // --- ops ---
  void RunOp(std::uint16_t opcode, std::uint16_t sizeWord);
  void CheckOp(std::uint16_t opcode);
  std::size_t Lookup(std::int64_t id) const {
    return id >= 1 && id <= 10 ? table_[std::size_t(id)] : kNone;
  }
  bool IsSprite(std::size_t at) const {
    return at != kNone && Has(std::int64_t(at) + 2, 2) && ric_[at + 2] == 1 && ric_[at + 3] == 0;
  }

  const std::uint8_t* ric_;
  std::size_t size_;
  const BrickCall& call_;
  bool lego_, v132_;
  std::array<std::size_t, 11> table_;
  std::int64_t op_ = 0;  // the current op's offset
  int element_ = 0;
  bool bad_ = false;
  BitmapMode callMode_;
  std::uint16_t callOptions_ = 0;
};

std::int32_t BrickRun::Resolve(std::uint16_t word) {
  const std::int16_t raw = std::int16_t(word);
  if ((word & 0xF000) == 0) return raw;
  const std::size_t count = call_.Parameters.size();
  std::int32_t arg;
  if (lego_) {
    const unsigned index = word & 0x0F;
    if (index >= count) {
      // The checks name the field; the render reports it without.
      Undefined(Format("uses parameter %lld, but the program passes %lld: the value is undefined",
                       index, count),
                false);
      return 0;
    }
    arg = std::int16_t(call_.Parameters[index]);
  } else {
    const unsigned index = word & 0xFF;
    if (index >= count) return raw;
    arg = std::int16_t(call_.Parameters[index]);
  }
  const unsigned mapId = (word >> 8) & 0x0F;
  const std::size_t map = Lookup(mapId);
  if (map == kNone) return arg;
  // The entry is read as a VarMap whatever its kind.
  const std::int64_t m = std::int64_t(map);
  const std::int32_t mapCount = Word(m + 6);
  std::int32_t dPrev = Word(m + 8), rPrev = Word(m + 10);
  if (bad_) return 0;
  if (arg <= dPrev) return rPrev;
  std::int32_t rCur = 0;
  bool haveCur = false;
  for (std::int32_t i = 1; i < mapCount; ++i) {
    const std::int32_t dCur = Word(m + 8 + 4 * i), rc = Word(m + 10 + 4 * i);
    if (bad_) return 0;
    rCur = rc;
    haveCur = true;
    if (arg < dCur)
      return Wrap32(rPrev + Wrap32(std::int64_t(arg - dPrev) * (rCur - rPrev)) / (dCur - dPrev));
    dPrev = dCur;
    rPrev = rCur;
  }
  if (!haveCur) {
    Undefined(
        Format("VarMap %lld has fewer than 2 points and the value lies above its first "
               "domain: the result is undefined",
               mapId));
    return 0;
  }
  return rCur;
}

void BrickRun::CheckArgument(std::uint16_t word, const char* name) {
  if ((word & 0xF000) == 0) return;
  const std::size_t count = call_.Parameters.size();
  if ((word & 0xF000) != 0xF000) {
    Check(std::string(name) +
          Format(" is %lld, above 4095: the brick reads it as a parameter reference", word));
    return;
  }
  const unsigned index = lego_ ? word & 0x0F : word & 0xFF;
  if (lego_ && (word & 0xFF) != index)
    Check(std::string(name) + Format(" uses parameter %lld: the LEGO firmware reads parameter %lld",
                                     word & 0xFF, index));
  if (index >= count)
    Check(std::string(name) +
          (lego_
               ? Format(" uses parameter %lld, but the program passes %lld: the value is undefined",
                        index, count)
               : Format(" uses parameter %lld, but the program passes %lld: the raw word %lld is "
                        "used",
                        index, count, std::int16_t(word))));
}

// Bresenham from the first point to the second; every pixel goes through the
// 8-bit display call, so coordinates wrap. Long lines only visit the steps
// whose wrapped coordinate along the main axis can land on the screen.
void BrickRun::LegoLine(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
  const std::int64_t dx = x2 - x1, dy = y2 - y1;
  const std::int64_t n = dx < 0 ? -dx : dx, m = dy < 0 ? -dy : dy;
  const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  const bool xMajor = n > m;
  const std::int64_t steps = xMajor ? n : m, minor = xMajor ? m : n;
  // Along the main axis the wrapped coordinate must fall in [0, limit).
  const std::int64_t limit = xMajor ? kW : kH;
  for (std::int64_t k = 0; k <= steps; ++k) {
    // The main coordinate's display value after k steps.
    const std::int64_t mainValue = xMajor ? x1 + sx * k : kH - 1 - (y1 + sy * k);
    const int wrapped = Wrap8(mainValue);
    if (wrapped >= limit) {
      // Skip to the next step that wraps back onto the screen.
      const int direction = xMajor ? sx : -sy;
      const std::int64_t skip = direction > 0 ? 256 - wrapped : wrapped - (limit - 1);
      k += skip - 1;
      continue;
    }
    // The minor coordinate after k steps, in closed form: the error term
    // starting at 2*minor - steps moves the minor axis floor((2*minor*k +
    // steps) / (2*steps)) times.
    const std::int64_t moved = steps == 0 ? 0 : (2 * minor * k + steps) / (2 * steps);
    if (xMajor)
      SetPixel8(x1 + sx * k, y1 + sy * moved);
    else
      SetPixel8(x1 + sx * moved, y1 + sy * k);
  }
}

void BrickRun::LegoRect(std::int64_t left, std::int64_t bottom, std::int64_t width,
                        std::int64_t height) {
  const std::int64_t right = left + width, top = bottom + height;
  LegoLine(left, top, right, top);
  LegoLine(right, top, right, bottom);
  LegoLine(right, bottom, left, bottom);
  LegoLine(left, bottom, left, top);
}

// The ends are first trimmed to the screen with integer division, then the
// line is drawn from its lower-left end.
void BrickRun::Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                    PixelMode mode) {
  const std::int32_t dx = Wrap32(std::int64_t(x2) - x1), dy = Wrap32(std::int64_t(y2) - y1);
  if (y1 > y2) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  if (y2 < 0 || y1 >= kH) return;
  if (y1 < 0) {
    if (dx && dy) x1 = Wrap32(x1 + std::int64_t(Divide(Wrap32(std::int64_t(-y1) * dx), dy)));
    y1 = 0;
  }
  if (y2 > kH - 1) {
    if (dx && dy)
      x2 = Wrap32(x2 - std::int64_t(Divide(Wrap32(std::int64_t(y2 - (kH - 1)) * dx), dy)));
    y2 = kH - 1;
  }
  if (x1 > x2) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  if (x2 < 0 || x1 >= kW) return;
  if (x1 < 0) {
    if (dx && dy) y1 = Wrap32(y1 + std::int64_t(Divide(Wrap32(-std::int64_t(x1) * dy), dx)));
    x1 = 0;
  }
  if (x2 > kW - 1) {
    if (dx && dy)
      y2 = Wrap32(y2 - std::int64_t(Divide(Wrap32((std::int64_t(x2) - (kW - 1)) * dy), dx)));
    x2 = kW - 1;
  }
  auto display = [&](std::int64_t x, std::int64_t y) {
    const std::uint8_t c = Wrap8(x), r = Wrap8(kH - 1 - y);
    if (c < kW && r < kH) Plot(c, r, mode);
  };
  if (x1 == x2) {
    const int r1 = Wrap8(kH - 1 - y1), r2 = Wrap8(kH - 1 - y2);
    const int c = Wrap8(x1);
    if (c >= kW) return;
    const Row bit = ColumnBit(c);
    for (int r = std::min(r1, r2); r <= std::min(std::max(r1, r2), kH - 1); ++r)
      Apply(rows[std::size_t(r)], bit, mode);
    return;
  }
  if (y1 == y2) {
    const int c1 = Wrap8(x1), c2 = Wrap8(x2), r = Wrap8(kH - 1 - y1);
    const int from = std::min(c1, c2), to = std::min(std::max(c1, c2), kW - 1);
    if (r < kH && from <= to) Apply(rows[std::size_t(r)], Span(from, to - from + 1), mode);
    return;
  }
  const std::int64_t ddx = std::int64_t(x2) - x1, ddy = std::int64_t(y2) - y1;
  const std::int64_t ax = (ddx < 0 ? -ddx : ddx) * 2, ay = (ddy < 0 ? -ddy : ddy) * 2;
  const int sx = ddx < 0 ? -1 : 1, sy = ddy < 0 ? -1 : 1;
  std::int64_t x = x1, y = y1;
  if (ax > ay && x1 >= 0 && x2 < kW && y1 >= 0 && y1 < kH && y2 >= 0 && y2 < kH) {
    // On the screen, as trimmed lines are: the pixels of each row as one run.
    std::int64_t d = ay - ax / 2, runStart = x;
    for (;;) {
      const bool last = x == x2;
      if (last || d >= 0) {
        const int from = int(std::min(runStart, x)), to = int(std::max(runStart, x));
        Apply(rows[std::size_t(kH - 1 - y)], Span(from, to - from + 1), mode);
        if (last) return;
        y += sy;
        d -= ax;
        runStart = x + sx;
      }
      x += sx;
      d += ay;
    }
  }
  if (ax <= ay && x1 >= 0 && x2 < kW && y1 >= 0 && y1 < kH && y2 >= 0 && y2 < kH) {
    std::int64_t d = ax - ay / 2;
    for (;;) {
      Apply(rows[std::size_t(kH - 1 - y)], ColumnBit(int(x)), mode);
      if (y == y2) return;
      if (d >= 0) {
        x += sx;
        d -= ay;
      }
      y += sy;
      d += ax;
    }
  }
  if (ax > ay) {
    std::int64_t d = ay - ax / 2;
    for (;;) {
      display(x, y);
      if (x == x2) return;
      if (d >= 0) {
        y += sy;
        d -= ax;
      }
      x += sx;
      d += ay;
    }
  }
  std::int64_t d = ax - ay / 2;
  for (;;) {
    display(x, y);
    if (y == y2) return;
    if (d >= 0) {
      x += sx;
      d -= ay;
    }
    y += sy;
    d += ax;
  }
}

// Corners normalised; a zero width or height is one line; filled rects are a
// clipped region, hollow ones four lines that never overlap.
void BrickRun::Rect(std::int32_t left, std::int32_t bottom, std::int32_t width, std::int32_t height,
                    PixelMode mode, bool fill) {
  std::int32_t x1 = left, x2 = Wrap32(std::int64_t(left) + width);
  std::int32_t y1 = bottom, y2 = Wrap32(std::int64_t(bottom) + height);
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  if (y1 == y2 || x1 == x2) {
    Line(x1, y1, x2, y2, mode);
    return;
  }
  if (fill) {
    if (x2 < 0 || y2 < 0 || x1 > kW - 1 || y1 > kH - 1) return;
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, kW - 1);
    y2 = std::min(y2, kH - 1);
    for (int y = y1; y <= y2; ++y)
      for (int x = x1; x <= x2; ++x) Plot(x, kH - 1 - y, mode);
    return;
  }
  Line(x1, y1, x2, y1, mode);
  if (y2 > y1) {
    Line(x1, y2, x2, y2, mode);
    if (y2 > y1 + 1) {
      Line(x2, y1 + 1, x2, y2 - 1, mode);
      if (x2 > x1) Line(x1, y1 + 1, x1, y2 - 1, mode);
    }
  }
}

// The offsets v >= 0 for which centre + v or centre - v lies in 0..limit, as
// one range [low, high] covering both; false when there are none.
bool ReachableOffsets(int centre, int limit, int& low, int& high) {
  low = std::numeric_limits<int>::max();
  high = -1;
  if (limit - centre >= 0) {
    low = std::min(low, std::max(0, -centre));
    high = std::max(high, limit - centre);
  }
  if (centre >= 0) {
    low = std::min(low, std::max(0, centre - limit));
    high = std::max(high, centre);
  }
  return high >= low;
}

// The enhanced firmware's ellipse walk over one quadrant, in its own 16- and
// 32-bit arithmetic (large radii overflow on the brick, and draw
// accordingly). A hollow walk hands each point (x, y), x and y >= 0, to
// `point`, which returns false to end the walk; a filled one hands out
// rectangles that do not overlap, relative to the centre. Both radii are
// non-zero.
template <class PointFn, class RectFn>
void WalkEllipse(std::int16_t a, std::int16_t b, bool fill, PointFn&& point, RectFn&& rect) {
  std::int16_t x = 0, y = b, rx = 0, ry = b;
  std::uint16_t width = 1, height = 1;
  const std::int32_t a2 = std::int32_t(a) * a, b2 = std::int32_t(b) * b;
  const std::int32_t crit1 = -(a2 / 4 + a % 2 + b2);
  const std::int32_t crit2 = -(b2 / 4 + b % 2 + a2);
  const std::int32_t crit3 = -(b2 / 4 + b % 2);
  std::int32_t t = Wrap32(-std::int64_t(a2) * y);
  std::int32_t dxt = 0, dyt = Wrap32(-2 * std::int64_t(a2) * y);
  const std::int32_t d2xt = Wrap32(2 * std::int64_t(b2)), d2yt = Wrap32(2 * std::int64_t(a2));
  while (y >= 0 && x <= a) {
    if (!fill && !point(x, y)) return;
    if (Wrap32(std::int64_t(t) + Wrap32(std::int64_t(b2) * x)) <= crit1 ||
        Wrap32(std::int64_t(t) + Wrap32(std::int64_t(a2) * y)) <= crit3) {
      if (fill) {
        if (height == 1) {
        } else if (ry * 2 + 1 > (height - 1) * 2) {
          rect(-rx, -ry, width - 1, height - 1);
          rect(-rx, ry, width - 1, -(height - 1));
          ry = Wrap16(ry - (height - 1));
          height = 1;
        } else {
          rect(-rx, -ry, width - 1, ry * 2);
          ry = 0;
          height = 1;
        }
        rx = Wrap16(rx + 1);
        width = std::uint16_t(width + 2);
      }
      x = Wrap16(x + 1);
      dxt = Wrap32(std::int64_t(dxt) + d2xt);
      t = Wrap32(std::int64_t(t) + dxt);
    } else if (Wrap32(std::int64_t(t) - Wrap32(std::int64_t(a2) * y)) > crit2) {
      y = Wrap16(y - 1);
      dyt = Wrap32(std::int64_t(dyt) + d2yt);
      t = Wrap32(std::int64_t(t) + dyt);
      if (fill) height = std::uint16_t(height + 1);
    } else {
      if (fill) {
        if (ry * 2 + 1 > height * 2) {
          rect(-rx, -ry, width - 1, height - 1);
          rect(-rx, ry, width - 1, -(height - 1));
        } else {
          rect(-rx, -ry, width - 1, ry * 2);
        }
        width = std::uint16_t(width + 2);
        ry = Wrap16(ry - height);
        height = 1;
        rx = Wrap16(rx + 1);
      }
      x = Wrap16(x + 1);
      dxt = Wrap32(std::int64_t(dxt) + d2xt);
      t = Wrap32(std::int64_t(t) + dxt);
      y = Wrap16(y - 1);
      dyt = Wrap32(std::int64_t(dyt) + d2yt);
      t = Wrap32(std::int64_t(t) + dyt);
    }
  }
  if (fill) {
    if (ry > height) {
      rect(-rx, -ry, width - 1, height - 1);
      rect(-rx, ry, width - 1, -(height - 1));
    } else {
      rect(-rx, -ry, width - 1, ry * 2);
    }
  }
}

// Hollow ellipses of small radii as the rows of pixels they plot around their
// centre (row y + b, column x + a at bit 127 - (x + a)), built once per radii
// and kept for this thread's later renders. No pixel is plotted twice (the
// walk's points are distinct and their mirror images too), so drawing the set
// in any pixel mode, XOR included, is what plotting point by point does.
constexpr int kShapeMaxA = 63, kShapeMaxB = 255;
const std::vector<Row>& EllipseShape(std::int16_t a, std::int16_t b) {
  thread_local std::unordered_map<std::uint32_t, std::vector<Row>> shapes;
  const std::uint32_t key = std::uint32_t(a) << 16 | std::uint32_t(b);
  if (auto it = shapes.find(key); it != shapes.end()) return it->second;
  if (shapes.size() >= 1024) shapes.clear();
  std::vector<Row> rows(std::size_t(2 * b + 1));
  auto plot = [&](int x, int y) { rows[std::size_t(y + b)] |= ColumnBit(x + a); };
  WalkEllipse(
      a, b, false,
      [&](int x, int y) {
        plot(x, y);
        plot(-x, -y);
        plot(x, -y);
        plot(-x, y);
        return true;
      },
      [](int, int, int, int) {});
  return shapes.emplace(key, std::move(rows)).first->second;
}

void BrickRun::Ellipse(std::int16_t xc, std::int16_t yc, std::int16_t a, std::int16_t b,
                       PixelMode mode, bool fill) {
  if (b == 0) {
    Rect(xc - a, yc, 2 * a, 0, mode, fill);
    return;
  }
  if (a == 0) {
    Rect(xc, yc - b, 0, 2 * b, mode, fill);
    return;
  }
  if (fill) {
    WalkEllipse(
        a, b, true, [](int, int) { return true; },
        [&](std::int32_t l, std::int32_t bottom, std::int32_t w, std::int32_t h) {
          Rect(xc + l, yc + bottom, w, h, mode, true);
        });
    return;
  }
  if (a > 0 && b > 0 && a <= kShapeMaxA && b <= kShapeMaxB) {
    const std::vector<Row>& shape = EllipseShape(a, b);
    const int shift = xc - a;  // shape column k is screen column k + shift
    if (shift >= kW || shift <= -128) return;
    const Row screen = Span(0, kW);
    for (int dy = std::max(-int(b), -int(yc)); dy <= std::min(int(b), kH - 1 - yc); ++dy) {
      const Row bits = shape[std::size_t(dy + b)];
      Apply(rows[std::size_t(kH - 1 - (yc + dy))],
            (shift >= 0 ? bits >> shift : bits << -shift) & screen, mode);
    }
    return;
  }
  // Otherwise point by point. The walk's x only grows and its y only falls
  // (x cannot wrap below a radius of 32767), so it ends once x has passed
  // every column or y every row a mirrored point could reach, and plots
  // nothing before both are in reach.
  int xLow = 0, xHigh = 0, yLow = 0, yHigh = 0;
  const bool canStop = a < 32767;
  if (canStop &&
      (!ReachableOffsets(xc, kW - 1, xLow, xHigh) || !ReachableOffsets(yc, kH - 1, yLow, yHigh)))
    return;
  WalkEllipse(
      a, b, false,
      [&](int x, int y) {
        if (canStop) {
          if (x > xHigh || y < yLow) return false;
          if (x < xLow || y > yHigh) return true;
        }
        SetPixel(xc + x, yc + y, mode);
        if (x != 0 || y != 0) SetPixel(xc - x, yc - y, mode);
        if (x != 0 && y != 0) {
          SetPixel(xc + x, yc - y, mode);
          SetPixel(xc - x, yc + y, mode);
        }
        return true;
      },
      [](int, int, int, int) {});
}

// Hollow: lines between consecutive points, closed unless a polyline. Filled:
// a scanline fill of the rows strictly between the lowest and highest vertex.
void BrickRun::Polygon(const std::vector<std::array<std::int16_t, 2>>& points, PixelMode mode,
                       bool fill, bool polyline) {
  const int n = int(points.size());
  if (!fill) {
    int j = 0;
    for (int i = 1; i < n; j = i++)
      Line(points[i][0], points[i][1], points[j][0], points[j][1], mode);
    if (!polyline) {
      // With no points the firmware reads the first point's words anyway;
      // the caller always passes at least the three the op must hold.
      Line(points[0][0], points[0][1], points[j][0], points[j][1], mode);
    }
    return;
  }
  int top = -1, bottom = 1024, right = -1, left = 1024;
  for (const auto& p : points) {
    top = std::max<int>(top, p[1]);
    bottom = std::min<int>(bottom, p[1]);
    right = std::max<int>(right, p[0]);
    left = std::min<int>(left, p[0]);
  }
  // Rows off the screen draw nothing: only the visible ones are walked.
  std::vector<std::int32_t> nodes;
  for (int pixelY = std::max(bottom, -1); pixelY < std::min(top, kH + 1); ++pixelY) {
    nodes.clear();
    for (int i = 0, j = n - 1; i < n; j = i++) {
      const auto& pi = points[std::size_t(i)];
      const auto& pj = points[std::size_t(j)];
      if ((pi[1] < pixelY && pj[1] >= pixelY) || (pj[1] < pixelY && pi[1] >= pixelY))
        nodes.push_back(Wrap32(
            pi[0] + std::int64_t(Divide(Wrap32(std::int64_t(pixelY - pi[1]) * (pj[0] - pi[0])),
                                        pj[1] - pi[1]))));
    }
    std::sort(nodes.begin(), nodes.end());
    for (std::size_t i = 0; i + 1 < nodes.size(); i += 2) {
      if (nodes[i] >= right) break;
      if (nodes[i + 1] > left) {
        const std::int32_t from = std::max(nodes[i], left), to = std::min(nodes[i + 1], right);
        Line(from, pixelY, to, pixelY, mode);
      }
    }
  }
}

// Copies from the sprite's bottom-left origin, clipped to the screen on all
// sides. Source bytes are not checked against the sprite: outside it they come
// from the neighbouring bytes of the file.
void BrickRun::CopyBits(std::int32_t dstX, std::int32_t dstY, std::int32_t srcX, std::int32_t srcY,
                        std::int32_t width, std::int32_t height, std::size_t sprite,
                        BitmapMode mode) {
  if (!IsSprite(sprite)) return;
  std::int64_t dx = dstX, dy = dstY, sx0 = srcX, sy0 = srcY, w = width, h = height;
  if (dx < 0) {
    sx0 -= dx;
    w += dx;
    dx = 0;
  }
  const std::int64_t lastX = std::min<std::int64_t>(dx + w, kW);
  if (dy < 0) {
    sy0 -= dy;
    h += dy;
    dy = 0;
  }
  const std::int64_t lastY = std::min<std::int64_t>(dy + h, kH);
  const std::int64_t columns = lastX - dx, rowCount = lastY - dy;
  if (columns <= 0 || rowCount <= 0) return;
  const std::int64_t s = std::int64_t(sprite);
  const std::int64_t spriteRows = Word(s + 6), rowBytes = Word(s + 8);
  if (bad_) return;
  // The bytes of the first row copied (the bottom one) and of the last.
  const std::int64_t firstRow = s + 10 + (spriteRows - 1 - sy0) * rowBytes;
  const std::int64_t lastRow = firstRow - (rowCount - 1) * rowBytes;
  if (!mode.Fill) {
    const std::int64_t lo = std::min(firstRow, lastRow) + (sx0 >> 3);
    const std::int64_t hi = std::max(firstRow, lastRow) + ((sx0 + columns - 1) >> 3);
    if (!Has(lo, hi - lo + 1)) {
      Undefined("copies bytes from beyond the file: the result is undefined");
      return;
    }
  }
  // Each row's source bits, gathered big-endian into one number and moved so
  // that column c of the copy lands on screen column dx + c.
  const std::int64_t firstByte = sx0 >> 3;
  const int skipBits = int(sx0 - firstByte * 8);
  const int byteCount = int(((sx0 + columns - 1) >> 3) - firstByte + 1);
  const Row mask = Span(int(dx), int(columns));
  for (std::int64_t r = 0; r < rowCount; ++r) {
    Row source = ~Row(0);
    if (!mode.Fill) {
      const std::uint8_t* bytes = ric_ + (firstRow - r * rowBytes + firstByte);
      Row gathered = 0;
      for (int k = 0; k < byteCount; ++k) gathered = (gathered << 8) | bytes[k];
      // The first copied bit sits at bit 8 * byteCount - 1 - skipBits; it
      // belongs at bit 127 - dx.
      const int shift = (127 - int(dx)) - (8 * byteCount - 1 - skipBits);
      source = shift >= 0 ? gathered << shift : gathered >> -shift;
    }
    if (mode.Invert) source = ~source;
    Combine(rows[std::size_t(kH - 1 - (dy + r))], source, mask, mode.Op);
  }
}

// The number box's text: whole 6 x 8 cells from the system font, the cell's
// bottom row at y (1.32) or at the bottom of y's text line (LEGO, 1.31).
void BrickRun::Text(const std::string& text, std::uint8_t x, std::uint8_t y, BitmapMode mode) {
  const std::uint32_t screenY = std::uint32_t(kH - 1) - y;  // unsigned, as the firmware has it
  std::int32_t line = std::int32_t((screenY & 0xF8) / 8);
  unsigned shift = 0;
  if (v132_) {
    shift = (screenY - 7) % 8;
    if (shift) --line;
  }
  if (line >= 8) return;
  const int topRow = line * 8 + int(shift);
  std::uint32_t column = x;
  for (char ch : text) {
    column += 6;
    if (v132_ ? column > std::uint32_t(kW) : column >= std::uint32_t(kW)) break;
    const auto& glyph = GlyphOf(ch);
    const int first = int(column) - 6;
    const Row cell = Span(first, 6);
    for (int b = 0; b < 8; ++b) {
      const int row = topRow + b;
      if (row < 0 || row >= kH) continue;
      // This row of the cell as six bits, the leftmost column highest.
      unsigned pattern = 0;
      for (int k = 0; k < 6; ++k) pattern = pattern << 1 | ((glyph[std::size_t(k)] >> b) & 1);
      if (mode.Fill) pattern = 0x3F;
      if (mode.Invert) pattern ^= 0x3F;
      Combine(rows[std::size_t(row)], Row(pattern) << (128 - first - 6), cell, mode.Op);
    }
  }
}

// A font picture: the parameter array is the text, sprite 1 holds the glyphs
// and VarMaps 2 to 5 give each code's x, y, width and height in it.
void BrickRun::Font(std::uint16_t descWidth, std::uint16_t descHeight) {
  const auto& text = call_.Parameters;
  if (text.empty()) return;
  const std::int32_t stdW = std::min<std::int32_t>(descWidth, kW);
  const std::int32_t stdH = std::min<std::int32_t>(descHeight, kH);
  const std::int32_t startX = std::int16_t(call_.X), startY = std::int16_t(call_.Y);
  std::int32_t xpos = startX, ypos = startY;
  const bool wrap = callOptions_ & 0x200;
  const unsigned direction = (callOptions_ >> 6) & 7;
  for (std::size_t index = 0; index < text.size() && index < 256; ++index) {
    if (text[index] == 0) break;
    const std::int32_t sx = Resolve(std::uint16_t(0xF200 | index));
    const std::int32_t sy = Resolve(std::uint16_t(0xF300 | index));
    const std::int32_t sw = Resolve(std::uint16_t(0xF400 | index));
    const std::int32_t sh = Resolve(std::uint16_t(0xF500 | index));
    if (bad_) return;
    std::int32_t destX = xpos, destY = ypos;
    switch (direction) {
      case 0:  // left to right, bottom aligned
        if (wrap && xpos + sw > kW) xpos = startX, ypos -= stdH;
        destX = xpos, destY = ypos, xpos += sw;
        break;
      case 1:  // left to right, top aligned
        if (wrap && xpos + sw > kW) xpos = startX, ypos += stdH;
        destX = xpos, destY = ypos - sh + 1, xpos += sw;
        break;
      case 2:  // right to left, bottom aligned
        if (wrap && xpos - sw < 0) xpos = startX, ypos -= stdH;
        destX = xpos - sw + 1, destY = ypos, xpos -= sw;
        break;
      case 3:  // right to left, top aligned
        if (wrap && xpos - sw < 0) xpos = startX, ypos += stdH;
        destX = xpos - sw + 1, destY = ypos - sh + 1, xpos -= sw;
        break;
      case 4:  // bottom to top, left aligned
        if (wrap && ypos + sh > kH) xpos += stdW, ypos = startY;
        destX = xpos, destY = ypos, ypos += sh;
        break;
      case 5:  // bottom to top, right aligned
        if (wrap && ypos + sh > kH) xpos -= stdW, ypos = startY;
        destX = xpos - sw + 1, destY = ypos, ypos += sh;
        break;
      case 6:  // top to bottom, left aligned
        if (wrap && ypos - sh < 0) xpos += stdW, ypos = startY;
        destX = xpos, destY = ypos - sh + 1, ypos -= sh;
        break;
      default:  // top to bottom, right aligned
        if (wrap && ypos - sh < 0) xpos -= stdW, ypos = startY;
        destX = xpos - sw + 1, destY = ypos - sh + 1, ypos -= sh;
        break;
    }
    // The firmware keeps the running position in 16 bits.
    xpos = std::int16_t(xpos);
    ypos = std::int16_t(ypos);
    CopyBits(destX, destY, sx, sy, sw, sh, table_[1], callMode_);
    if (bad_) return;
  }
}

void BrickRun::Run() {
  const bool clear = call_.Options & 3;
  if (clear) rows.fill(0);
  callOptions_ = std::uint16_t(call_.Options);
  if (!lego_) callMode_ = BitmapModeOf(std::uint16_t(Resolve(callOptions_)));
  std::int64_t remaining = std::int64_t(size_);
  std::int64_t at = 0;
  while (true) {
    if (remaining < 4) break;
    ++element_;
    op_ = at;
    bad_ = false;
    const std::uint16_t sizeWord = Word(at);
    const std::uint16_t opcode = Word(at + 2);
    const std::int64_t step = std::int64_t(sizeWord) + 2;
    if (step & 1) {
      Check("odd size: the brick stops here and draws nothing after it");
      break;
    }
    const bool known = opcode <= 10 && !(lego_ && opcode >= 7 && opcode != 8);
    if (!known) {
      if (lego_ && (opcode == 7 || opcode == 9 || opcode == 10))
        Check(std::string("the LEGO firmware has no ") + kOpName[opcode] +
              ": the brick stops here and draws nothing after it");
      else
        Check(Format("opcode %lld is unknown: the brick stops here and draws nothing after it",
                     opcode));
      break;
    }
    if (sizeWord == 0 && checking)
      Check("size 0: the brick reads the next word as an opcode and walks out of step");
    if (sizeWord < kMinimumSize[opcode]) {
      if (checking)
        Check(std::string(kOpName[opcode]) +
              Format(" is too short (size %lld, needs %lld): the brick skips it", sizeWord,
                     kMinimumSize[opcode]));
    } else {
      if (checking) CheckOp(opcode);
      RunOp(opcode, sizeWord);
    }
    if (step > remaining) {
      Undefined("claims more bytes than the file holds: the brick walks on into memory after it");
      break;
    }
    remaining -= step;
    at += step;
  }
}

void BrickRun::CheckOp(std::uint16_t opcode) {
  const std::int64_t o = op_;
  for (const ArgField& f : kArgFields[opcode]) {
    if (lego_ && f.Offset == 4) continue;  // the LEGO firmware never reads CopyOpt
    if (Has(o + f.Offset, 2)) CheckArgument(Word(o + f.Offset), f.Name);
  }
  switch (opcode) {
    case 1:
    case 2: {
      const std::uint16_t id = Word(o + 4);
      if (id < 1 || id > 10)
        Check(Format("id %lld is outside 1 to 10: the brick ignores this ", id) + kOpName[opcode]);
      if (opcode == 2 && Has(o + 6, 2) && Word(o + 6) < 2)
        Check("VarMap with fewer than 2 points: values above its first domain are undefined");
      break;
    }
    case 10: {
      bool usesParameters = false;
      const std::uint16_t count = Word(o + 6);
      for (std::int64_t i = 0; i < 2 * std::int64_t(count) && Has(o + 8 + 2 * i, 2); ++i)
        usesParameters |= (Word(o + 8 + 2 * i) & 0xF000) != 0;
      if (usesParameters)
        Check("polygon points use parameters: drawn from a file, the brick uses the raw words");
      if (call_.X != 0 || call_.Y != 0)
        Check("drawn from a file, the brick does not move polygon points by the picture position");
      break;
    }
    default:
      break;
  }
}

void BrickRun::RunOp(std::uint16_t opcode, std::uint16_t sizeWord) {
  (void)sizeWord;
  const std::int64_t o = op_;
  const std::int32_t px0 = std::int16_t(call_.X), py0 = std::int16_t(call_.Y);
  PixelMode mode = PixelMode::Set;
  bool fill = false;
  auto shapeMode = [&] {
    if (!lego_) ShapeModeOf(std::uint16_t(Arg(4)), mode, fill);
  };
  switch (opcode) {
    case 0:
      if (!lego_) {
        const std::uint16_t options = Word(o + 4);
        if (bad_ || options != 0x8001) return;
        const std::uint16_t w = Word(o + 6), h = Word(o + 8);
        if (!bad_) Font(w, h);
      }
      return;
    case 1:
    case 2: {
      const std::uint16_t id = Word(o + 4);
      if (!bad_ && id >= 1 && id <= 10) table_[id] = std::size_t(o);
      return;
    }
    case 3: {
      BitmapMode m;
      if (!lego_) m = BitmapModeOf(std::uint16_t(Arg(4)));
      const std::int32_t id = Arg(6);
      const std::int32_t srcX = Arg(8), srcY = Arg(10), w = Arg(12), h = Arg(14);
      const std::int32_t dstX = Wrap32(std::int64_t(Arg(16)) + px0);
      const std::int32_t dstY = Wrap32(std::int64_t(Arg(18)) + py0);
      if (bad_) return;
      const std::size_t sprite = Lookup(id);
      if (!IsSprite(sprite)) {
        if (checking) Check(Format("finds no sprite with id %lld here: nothing is drawn", id));
        return;
      }
      if (checking) {
        const std::int64_t cols = std::int64_t(Word(std::int64_t(sprite) + 8)) * 8;
        const std::int64_t rows = Word(std::int64_t(sprite) + 6);
        if (w > 0 && h > 0 && (srcX < 0 || srcY < 0 || srcX + w > cols || srcY + h > rows))
          Check(Format("the source lies outside sprite %lld: the brick copies the bytes around it",
                       id));
      }
      CopyBits(dstX, dstY, srcX, srcY, w, h, sprite, m);
      return;
    }
    case 4: {
      shapeMode();
      const std::int32_t x = Wrap32(std::int64_t(Arg(6)) + px0);
      const std::int32_t y = Wrap32(std::int64_t(Arg(8)) + py0);
      if (bad_) return;
      if (lego_)
        SetPixel8(x, y);
      else
        SetPixel(x, y, mode);
      return;
    }
    case 5: {
      shapeMode();
      const std::int32_t x1 = Wrap32(std::int64_t(Arg(6)) + px0);
      const std::int32_t y1 = Wrap32(std::int64_t(Arg(8)) + py0);
      const std::int32_t x2 = Wrap32(std::int64_t(Arg(10)) + px0);
      const std::int32_t y2 = Wrap32(std::int64_t(Arg(12)) + py0);
      if (bad_) return;
      if (lego_)
        LegoLine(x1, y1, x2, y2);
      else
        Line(x1, y1, x2, y2, mode);
      return;
    }
    case 6: {
      shapeMode();
      const std::int16_t x = Wrap16(std::int64_t(Arg(6)) + px0);
      const std::int16_t y = Wrap16(std::int64_t(Arg(8)) + py0);
      const std::int16_t w = Wrap16(Arg(10)), h = Wrap16(Arg(12));
      if (bad_) return;
      if (lego_)
        LegoRect(x, y, w, h);
      else
        Rect(x, y, w, h, mode, fill);
      return;
    }
    case 7:
    case 9: {
      shapeMode();
      const std::int16_t x = Wrap16(std::int64_t(Arg(6)) + px0);
      const std::int16_t y = Wrap16(std::int64_t(Arg(8)) + py0);
      const std::int16_t a = Wrap16(Arg(10));
      const std::int16_t b = opcode == 7 ? a : Wrap16(Arg(12));
      if (bad_) return;
      Ellipse(x, y, a, b, mode, fill);
      return;
    }
    case 8: {
      BitmapMode m;
      if (!lego_) m = BitmapModeOf(std::uint16_t(Arg(4)));
      const std::int32_t value = Arg(10);
      const std::uint8_t x = Wrap8(std::int64_t(Arg(6)) + px0);
      const std::uint8_t y = Wrap8(std::int64_t(Arg(8)) + py0);
      if (bad_) return;
      const std::string text = std::to_string(value);
      if (checking) {
        const std::uint32_t limit = v132_ ? kW : kW - 1;
        const std::uint32_t fits =
            std::uint32_t(x) + 6 > limit ? 0 : (limit - std::uint32_t(x)) / 6;
        const std::int32_t signedX = Wrap32(std::int64_t(Arg(6)) + px0);
        if (signedX < 0)
          Check("number box at a negative x: the brick draws nothing");
        else if (fits == 0)
          Check(Format("number box at x %lld cannot draw: its first digit does not fit", signedX));
        else if (fits < text.size())
          Check(Format("number box shows only %lld of its %lld characters", fits, text.size()));
      }
      Text(text, x, y, m);
      return;
    }
    case 10: {
      const std::uint16_t options = Word(o + 4);
      shapeMode();
      const std::uint16_t count = Word(o + 6);
      if (bad_) return;
      if (fill && count > 128) {
        Check("filled polygon with more than 128 points: the brick skips it");
        return;
      }
      // Drawn from a file in flash, the points are the raw words: the
      // firmware's write-back of the resolved points does not take.
      const std::size_t used = std::max<std::size_t>(count, 1);
      if (!Has(o + 8, std::int64_t(used) * 4)) {
        Undefined("polygon points run past the end of the file: the result is undefined");
        return;
      }
      std::vector<std::array<std::int16_t, 2>> points(fill ? count : used);
      for (std::size_t i = 0; i < points.size(); ++i)
        points[i] = {std::int16_t(Word(o + 8 + 4 * std::int64_t(i))),
                     std::int16_t(Word(o + 10 + 4 * std::int64_t(i)))};
      Polygon(points, mode, fill, options & 0x400);
      return;
    }
    default:
      return;
  }
}

}  // namespace

void RenderBrick(NXTDisplay& screen, const std::uint8_t* ric, std::size_t size,
                 const BrickCall& call, std::vector<BrickFinding>* undefined) {
  BrickRun run(ric, size, call);
  const Rgb* in = screen.Pixels();
  for (int r = 0; r < kH; ++r)
    for (int c = 0; c < kW; ++c)
      if (in[r * kW + c] != kWhite) run.rows[std::size_t(r)] |= ColumnBit(c);
  run.Run();
  Rgb* out = screen.MutablePixels();
  for (int r = 0; r < kH; ++r)
    for (int c = 0; c < kW; ++c)
      out[r * kW + c] = run.rows[std::size_t(r)] & ColumnBit(c) ? kBlack : kWhite;
  if (undefined) *undefined = std::move(run.undefined);
}

std::vector<BrickFinding> CheckBrick(const std::uint8_t* ric, std::size_t size,
                                     const BrickCall& call) {
  BrickRun run(ric, size, call);
  run.checking = true;
  run.Run();
  return std::move(run.checks);
}

}  // namespace tavlin
