// libFuzzer target: a RIC document drawn on the display with random parameter
// values and offsets. The input's first bytes give the offsets and the
// parameters, the rest is the RIC file.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "NXTDisplay.h"
#include "ParameterSet.h"
#include "RICInterpreter.h"
#include "RicFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  // Offsets far beyond the display as well as on it.
  const int dx = input.ConsumeIntegralInRange<int>(-70000, 70000);
  const int dy = input.ConsumeIntegralInRange<int>(-70000, 70000);
  tavlin::TParameterSet parameters{};
  // A few parameters set, the rest left at 0 as a fresh editor has them.
  for (int n = input.ConsumeIntegralInRange<int>(0, 8); n > 0; --n) {
    const std::uint8_t index = input.ConsumeIntegral<std::uint8_t>();
    parameters[index] = input.ConsumeIntegral<std::uint16_t>();
  }
  const std::vector<std::uint8_t> ric = input.ConsumeRemainingBytes<std::uint8_t>();
  const tavlin::RICElementList list = tavlin::DecodeRic(ric.data(), ric.size());

  tavlin::NXTDisplay display;
  tavlin::RenderDocument(display, dx, dy, list, parameters);
  // The brick renderer (render/BrickRenderer.h) draws the same document here
  // once it is part of the tree:
  // RENDER-BRICK: RenderBrick(...) with list, parameters, dx, dy.
  return 0;
}
