// BrickScreen: the NXT screen as the brick renderer draws on it, and the
// firmwares' drawing routines, each as the firmware computes it: the LEGO
// firmware's wrapping 8-bit pixels and plain Bresenham, the enhanced
// firmware's trimmed lines, rectangles, ellipse walk, polygon fill and
// number-box text, in their own 16- and 32-bit arithmetic.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "NXTDisplay.h"

namespace tavlin::brick {

// The firmware computes in 32-bit registers and 16-bit fields that wrap; so do we.
inline std::int32_t Wrap32(std::int64_t v) { return std::int32_t(std::uint32_t(std::uint64_t(v))); }
inline std::int16_t Wrap16(std::int64_t v) { return std::int16_t(std::uint16_t(std::uint64_t(v))); }
inline std::uint8_t Wrap8(std::int64_t v) { return std::uint8_t(std::uint64_t(v)); }
// 32-bit division truncating toward zero, where the lowest number divided by
// -1 wraps to itself instead of trapping.
inline std::int32_t Divide(std::int32_t a, std::int32_t b) {
  return b == -1 ? Wrap32(-std::int64_t(a)) : a / b;
}

// A screen row as bits, the leftmost column the highest bit, so that sprite
// bytes (bit 7 leftmost) shift straight into place.
__extension__ typedef unsigned __int128 Row;
inline Row ColumnBit(int column) { return Row(1) << (127 - column); }
// Columns first .. first + count - 1 (all within the screen).
inline Row Span(int first, int count) {
  const Row ones = count >= 128 ? ~Row(0) : (Row(1) << count) - 1;
  return ones << (128 - first - count);
}

// How a shape sets its pixels, and how a bitmap combines with the screen.
enum class PixelMode : std::uint8_t { Set, Clear, Invert };
enum class Logic : std::uint8_t { Copy, And, Or, Xor };

struct BitmapMode {
  bool Invert = false;
  Logic Op = Logic::Copy;
  bool Fill = false;
};

inline BitmapMode BitmapModeOf(std::uint16_t options) {
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
inline void ShapeModeOf(std::uint16_t options, PixelMode& mode, bool& fill) {
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

// The screen: 64 rows of bits, row 0 the top, 1 black.
//
// A picture can also be drawn from its last op back to its first. Every op
// changes a pixel in one of four ways: it stores a colour, inverts it, or
// leaves it. So walking back, a pixel is decided by the first op met that
// stores into it (with the inversions met before that undone on the way),
// and what earlier ops do to it no longer matters. Once every pixel is
// decided the earlier ops need not be run at all. Between BeginBackward and
// EndBackward, `rows` holds the decided pixels' colours.
class BrickScreen {
 public:
  static constexpr int kW = NXTDisplay::kWidth;
  static constexpr int kH = NXTDisplay::kHeight;

  std::array<Row, kH> rows{};
  // Every ellipse walked point by point from its start, with none of the
  // shortcuts to the part on the screen (slow; to compare them with).
  bool plainWalks = false;

  void Plot(int column, int row, PixelMode mode) { Apply(row, ColumnBit(column), mode); }
  // The pixels `bits` of a row set, cleared or inverted.
  void Apply(int row, Row bits, PixelMode mode) {
    if (recording_) {
      recording_->push_back({row, bits, 0, std::uint8_t(mode), false});
      return;
    }
    Row& r = rows[std::size_t(row)];
    if (backward_) {
      const Row open = bits & ~decided_[std::size_t(row)] & kScreenRow;
      if (mode == PixelMode::Invert)
        flip_[std::size_t(row)] ^= open;
      else
        Decide(row, open, mode == PixelMode::Set ? ~Row(0) : Row(0));
    } else if (mode == PixelMode::Set) {
      r |= bits;
    } else if (mode == PixelMode::Clear) {
      r &= ~bits;
    } else {
      r ^= bits;
    }
  }
  // The source bits `source` combined with a screen row where `mask` is set.
  void Combine(int row, Row source, Row mask, Logic op) {
    if (recording_) {
      recording_->push_back({row, source, mask, std::uint8_t(op), true});
      return;
    }
    Row& r = rows[std::size_t(row)];
    if (backward_) {
      const Row open = mask & ~decided_[std::size_t(row)] & kScreenRow;
      switch (op) {
        case Logic::And:  // a clear source bit stores white
          Decide(row, open & ~source, 0);
          break;
        case Logic::Xor:
          flip_[std::size_t(row)] ^= source & open;
          break;
        case Logic::Or:  // a set source bit stores black
          Decide(row, open & source, ~Row(0));
          break;
        case Logic::Copy:
          Decide(row, open, source);
          break;
      }
      return;
    }
    switch (op) {
      case Logic::And:
        r &= source | ~mask;
        break;
      case Logic::Xor:
        r ^= source & mask;
        break;
      case Logic::Or:
        r |= source & mask;
        break;
      case Logic::Copy:
        r = (r & ~mask) | (source & mask);
        break;
    }
  }

  // --- drawing last op first ---
  void BeginBackward();
  // Whether every pixel is decided.
  bool AllDecided() const { return openRows_ == 0; }
  // The pixels left undecided take what the screen held before the first op,
  // with the inversions met.
  void EndBackward();
  // An op whose parts may overlap and do not commute (a font's glyphs, each
  // copied in turn) collects its parts between these two calls, so that the
  // backward drawing can take them last first. Drawing forward, they are
  // drawn as they come.
  void BeginParts();
  void EndParts();

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

  // --- both: the number box's text (LEGO's always copies) ---
  void Text(const std::string& text, std::uint8_t x, std::uint8_t y, BitmapMode mode, bool atAnyY);

 private:
  struct Part {
    int row;
    Row bits, mask;
    std::uint8_t how;  // the PixelMode or, for a combine, the Logic
    bool combine;
  };
  // Decides the open pixels `bits` of a row: each stores `colour`'s bit, or
  // the opposite where an inversion met later flips it.
  void Decide(int row, Row bits, Row colour) {
    if (!bits) return;
    const std::size_t r = std::size_t(row);
    rows[r] = (rows[r] & ~bits) | ((colour ^ flip_[r]) & bits);
    decided_[r] |= bits;
    if (decided_[r] == kScreenRow) --openRows_;
  }
  static constexpr Row kScreenRow = ~Row(0) << (128 - kW);

  bool backward_ = false;
  std::array<Row, kH> decided_{}, flip_{}, before_{};
  int openRows_ = kH;
  std::vector<Part>* recording_ = nullptr;
  std::vector<Part> parts_;
};

}  // namespace tavlin::brick
