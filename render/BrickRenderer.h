// BrickRenderer: runs the bytes of a RIC file the way a chosen NXT firmware
// runs them, pixel for pixel, and lists what the brick will treat differently
// from what the picture's author probably meant.
//
// It reads the encoded bytes itself rather than the document model, because
// the brick does: size words, argument words above 4095, sprite data that runs
// past its op and op kinds the firmware does not know all change what is
// drawn. Nothing here reads outside the given buffers; where the brick would
// read memory beyond them, the element draws nothing and is reported.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "NXTDisplay.h"

namespace tavlin {

// The firmware whose drawing code is run: LEGO's 1.05 to 1.29, or the
// enhanced NBC/NXC firmware 1.31, or 1.32 and later.
enum class BrickVariant : std::uint8_t { Lego, Enhanced131, Enhanced132 };

// "lego", "enhanced131", "enhanced132".
const char* BrickVariantName(BrickVariant v);
// The variant of that name, or nothing for any other text.
std::optional<BrickVariant> ParseBrickVariant(std::string_view name);

// All of a program's data on the brick, its arrays included, lives in one
// memory pool of this many bytes: POOL_MAX_SIZE in c_cmd.iom of the NXT
// firmware source, the same in LEGO's firmware and the enhanced one. A
// picture larger than that cannot be a program's array, whatever else the
// program holds (and the program's own variables take part of the pool too).
constexpr std::size_t kBrickProgramPoolBytes = 32768;

// Where the drawing call takes the picture from: a .ric file on the brick,
// used in place in flash (GraphicOut), or a byte array in the program's RAM
// (GraphicArrayOut, GraphicArrayOutEx: what an NXC or NBC export is for).
// The enhanced firmware resolves a polygon's points (parameters and picture
// position) by writing them into the picture before drawing; in RAM that
// write sticks, in flash it does not and the raw words are drawn.
enum class BrickSource : std::uint8_t { File, Array };

// "file", "array".
const char* BrickSourceName(BrickSource source);
// The source of that name, or nothing for any other text.
std::optional<BrickSource> ParseBrickSource(std::string_view name);

// One drawing call of a program: which firmware, what it passes.
struct BrickCall {
  BrickVariant Variant = BrickVariant::Enhanced132;
  std::vector<std::uint16_t> Parameters;  // what the program passes; empty = no parameter array
  int X = 0, Y = 0;                       // the drawing call's picture position
  std::uint32_t Options = 1;  // the drawing call's draw options (1: clear the screen first)
  BrickSource Source = BrickSource::File;
};

// One thing the brick will do differently from what the user probably meant.
// Element counts from 1 in file order (one op per element, as EncodeRic
// writes them); 0 when it concerns no single element.
struct BrickFinding {
  int Element = 0;
  std::string Text;
  bool operator==(const BrickFinding&) const = default;
};

// Runs the RIC bytes as the chosen firmware does, drawing onto `screen` as it
// stands (the draw options decide whether it is cleared first). Drawn from an
// array, the run works on its own copy of the bytes, as the program's array
// would be on its first draw. Only kBlack
// and kWhite are written. Elements whose result is undefined on the brick
// draw nothing and are reported in `undefined` when given.
void RenderBrick(NXTDisplay& screen, const std::uint8_t* ric, std::size_t size,
                 const BrickCall& call, std::vector<BrickFinding>* undefined = nullptr);

// The checks for these bytes and this call, in element order: where the walk
// stops, ids the brick ignores, constants read as parameters, parameters the
// program does not pass, VarMaps too short to map, CopyBits sources outside
// their sprite, number boxes that cannot draw, elements shorter than the
// firmware needs, polygons the two sources draw differently (from a file the
// raw words, from an array the resolved points, whose count may run over
// the elements after them); and, as
// the first finding (element 0), a picture too large for a program's data.
std::vector<BrickFinding> CheckBrick(const std::uint8_t* ric, std::size_t size,
                                     const BrickCall& call);

// Where the brick's walk through these bytes stops before their end (the
// element, from 1, and why); element 0 when it runs to the end.
BrickFinding BrickWalkStop(const std::uint8_t* ric, std::size_t size, const BrickCall& call);

}  // namespace tavlin
