#include "RICArgument.h"

namespace tavlin {

DecodedArgument DecodeArgument(RICArgument word) {
  DecodedArgument a;
  if ((word & 0xF000) == 0) {
    a.Mode = ArgumentMode::Constant;
    a.Constant = std::uint16_t(word & 0x0FFF);
  } else if ((word & 0x0F00) == 0) {
    a.Mode = ArgumentMode::Parameter;
    a.Parameter = std::uint8_t(word & 0xFF);
  } else {
    a.Mode = ArgumentMode::Mapped;
    a.MapId = std::uint8_t((word >> 8) & 0x0F);
    a.Parameter = std::uint8_t(word & 0xFF);
  }
  return a;
}

RICArgument EncodeArgument(const DecodedArgument& a) {
  switch (a.Mode) {
    case ArgumentMode::Parameter:
      return EncodeParameter(a.Parameter);
    case ArgumentMode::Mapped:
      return EncodeMapped(a.MapId, a.Parameter);
    case ArgumentMode::Constant:
      break;
  }
  return EncodeConstant(a.Constant);
}

std::string FormatGridArgument(RICArgument word) {
  DecodedArgument a = DecodeArgument(word);
  switch (a.Mode) {
    case ArgumentMode::Parameter:
      return "P[" + std::to_string(a.Parameter) + "]";
    case ArgumentMode::Mapped:
      return "V[" + std::to_string(a.MapId) + ":" + std::to_string(a.Parameter) + "]";
    case ArgumentMode::Constant:
      break;
  }
  return std::to_string(a.Constant);
}

}  // namespace tavlin
