#include "NumberFont.h"

#include <string_view>

namespace tavlin {

namespace {

using Glyph = std::array<std::uint8_t, kFontCellHeight>;

// Builds a glyph from 7 rows of 5 characters ('#' set, anything else clear).
constexpr Glyph MakeGlyph(std::string_view picture) {
  Glyph g{};
  for (int row = 0; row < 7; ++row)
    for (int col = 0; col < 5; ++col)
      if (picture[std::size_t(row * 5 + col)] == '#')
        g[std::size_t(row)] |= std::uint8_t(1 << (4 - col));
  return g;
}

constexpr Glyph kDigits[10] = {
    MakeGlyph(".###."
              "#...#"
              "#...#"
              "#...#"
              "#...#"
              "#...#"
              ".###."),
    MakeGlyph("..#.."
              ".##.."
              "..#.."
              "..#.."
              "..#.."
              "..#.."
              ".###."),
    MakeGlyph(".###."
              "#...#"
              "....#"
              "...#."
              "..#.."
              ".#..."
              "#####"),
    MakeGlyph(".###."
              "#...#"
              "....#"
              "..##."
              "....#"
              "#...#"
              ".###."),
    MakeGlyph("...#."
              "..##."
              ".#.#."
              "#..#."
              "#####"
              "...#."
              "...#."),
    MakeGlyph("#####"
              "#...."
              "####."
              "....#"
              "....#"
              "#...#"
              ".###."),
    MakeGlyph("..##."
              ".#..."
              "#...."
              "####."
              "#...#"
              "#...#"
              ".###."),
    MakeGlyph("#####"
              "....#"
              "...#."
              "..#.."
              ".#..."
              ".#..."
              ".#..."),
    MakeGlyph(".###."
              "#...#"
              "#...#"
              ".###."
              "#...#"
              "#...#"
              ".###."),
    MakeGlyph(".###."
              "#...#"
              "#...#"
              ".####"
              "....#"
              "...#."
              ".##.."),
};

constexpr Glyph kMinus = MakeGlyph(
    "....."
    "....."
    "....."
    "#####"
    "....."
    "....."
    ".....");
constexpr Glyph kBlank{};

}  // namespace

const std::array<std::uint8_t, kFontCellHeight>& FontGlyph(char c) {
  if (c >= '0' && c <= '9') return kDigits[c - '0'];
  if (c == '-') return kMinus;
  return kBlank;
}

}  // namespace tavlin
