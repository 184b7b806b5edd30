#include "ParameterSweep.h"

#include <algorithm>
#include <cstdlib>

namespace tavlin {

int ParameterSweep::FrameCount() const { return std::abs(To - From) / std::max(Step, 1) + 1; }

std::uint16_t ParameterSweep::ValueAt(int frame) const {
  const int k = std::clamp(frame, 0, FrameCount() - 1);
  const int step = std::max(Step, 1);
  return std::uint16_t(To >= From ? From + k * step : From - k * step);
}

int SweepFrameCount(const std::vector<ParameterSweep>& sweeps) {
  int frames = 1;
  for (const ParameterSweep& s : sweeps) frames = std::max(frames, s.FrameCount());
  return frames;
}

void ApplySweeps(const std::vector<ParameterSweep>& sweeps, int frame, TParameterSet& parameters) {
  for (const ParameterSweep& s : sweeps)
    parameters[std::size_t(std::clamp(s.Parameter, 0, 255))] = s.ValueAt(frame);
}

}  // namespace tavlin
