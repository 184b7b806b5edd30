// Parameter sweeps: one or more parameters stepped over ranges, one value
// per frame of an animation. The command-line tool's `render --sweep` and the
// editor's animated preview share them.
#pragma once

#include <cstdint>
#include <vector>

#include "ParameterSet.h"

namespace tavlin {

struct ParameterSweep {
  int Parameter = 0;  // 0..255
  int From = 0;       // 0..65535
  int To = 0;         // 0..65535; the range falls when To < From
  int Step = 1;       // the distance between frames, 1..65535, taken towards To

  // Frames from From towards To; the last one stops at or before To.
  int FrameCount() const;
  // The value at `frame`; past its last frame the sweep holds its last value.
  std::uint16_t ValueAt(int frame) const;
  bool operator==(const ParameterSweep&) const = default;
};

// Sweeps run together, frame by frame: the animation lasts as long as the
// longest of them, and a shorter one holds its last value. 1 without sweeps.
int SweepFrameCount(const std::vector<ParameterSweep>& sweeps);

// Sets every swept parameter to its value at `frame`.
void ApplySweeps(const std::vector<ParameterSweep>& sweeps, int frame, TParameterSet& parameters);

}  // namespace tavlin
