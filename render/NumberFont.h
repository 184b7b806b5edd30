// The fixed-pitch pixel font of number boxes: our own, so that the editor, the
// command-line tool and the tests draw the same pixels on every machine.
//
// Each character sits in a cell 6 pixels wide and 8 high, like the brick's own
// text: column 0 of the cell is blank, the glyph takes columns 1 to 5 and rows
// 0 to 6, and row 7 is blank. A text of n characters is 6 n pixels wide.
#pragma once

#include <array>
#include <cstdint>

namespace tavlin {

constexpr int kFontCellWidth = 6;
constexpr int kFontCellHeight = 8;

// The 8 rows of a character's cell, top first; in each row bit 5 is the
// cell's column 0 (always clear) and bit 0 its column 5. The font has the
// digits 0-9 and '-'; every other character is blank.
const std::array<std::uint8_t, kFontCellHeight>& FontGlyph(char c);

// Whether the cell pixel (column, row) of a character is set.
inline bool FontPixel(char c, int column, int row) {
  return (FontGlyph(c)[std::size_t(row)] >> (kFontCellWidth - 1 - column)) & 1;
}

}  // namespace tavlin
