// The 16-bit argument word of the drawing elements: a constant, a parameter
// reference or a parameter reference mapped through a VarMap.
#pragma once

#include <cstdint>
#include <string>

namespace tavlin {

using RICArgument = std::uint16_t;

enum class ArgumentMode { Constant, Parameter, Mapped };

struct DecodedArgument {
  ArgumentMode Mode = ArgumentMode::Constant;
  std::uint16_t Constant = 0;  // Constant: 0..4095
  std::uint8_t MapId = 0;      // Mapped: 1..15
  std::uint8_t Parameter = 0;  // Parameter and Mapped: 0..255
};

// Any non-zero tag nibble marks a reference, whatever its value (files made
// by other tools use 0x1 as well as 0xF).
DecodedArgument DecodeArgument(RICArgument word);

constexpr RICArgument EncodeConstant(unsigned value) { return RICArgument(value & 0x0FFF); }
constexpr RICArgument EncodeParameter(unsigned parameter) {
  return RICArgument(0xF000 | (parameter & 0xFF));
}
constexpr RICArgument EncodeMapped(unsigned mapId, unsigned parameter) {
  return RICArgument(0xF000 | ((mapId & 0x0F) << 8) | (parameter & 0xFF));
}
RICArgument EncodeArgument(const DecodedArgument& argument);

// Short text form: "37", "P[5]", "V[2:5]".
std::string FormatGridArgument(RICArgument word);

}  // namespace tavlin
