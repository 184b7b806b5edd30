// The run-time parameter values a document is previewed with.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tavlin {

using TParameterSet = std::array<std::uint16_t, 256>;

// What the editor previews a document with: the 256 values, how many of them
// the parameter panel offers, and the parameter file they are kept in.
struct PreviewParameters {
  TParameterSet ParameterSet{};
  // The highest index the parameter panel offers: 15 or 255.
  int MaxParameterIndex = 15;
  // The current parameter file (the default one in the user's config folder
  // at start); empty when there is none to keep the values in.
  std::string ParameterFileName;
  // The parameter file failed to read at start: closing must not write over
  // it (and lose the lines the reader never reached) until the user loads or
  // saves one.
  bool ParameterFileReadFailed = false;
};

}  // namespace tavlin
