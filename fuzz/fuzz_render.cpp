// libFuzzer target: a RIC document drawn on the display with random parameter
// values and offsets, by the editor's renderer and by the brick's. The input's first bytes give the
// offsets and the parameters, the rest is the RIC file.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "BrickRenderer.h"
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
  // The brick runs the bytes as they were given, not as we would write them,
  // for every firmware, with as many parameters as a program may pass.
  for (tavlin::BrickVariant variant :
       {tavlin::BrickVariant::Lego, tavlin::BrickVariant::Enhanced131,
        tavlin::BrickVariant::Enhanced132}) {
    tavlin::BrickCall call;
    call.Variant = variant;
    call.X = dx;
    call.Y = dy;
    call.Options = std::uint32_t(dx) ^ std::uint32_t(dy);
    const std::size_t passed = std::size_t(parameters[0] % 257);
    call.Parameters.assign(parameters.begin(), parameters.begin() + passed);
    // Drawn last op first (the plain render) and first to last (asked for
    // the undefined elements), over what the screen holds, the result is one.
    tavlin::NXTDisplay inOrder = display;
    std::vector<tavlin::BrickFinding> undefined;
    tavlin::RenderBrick(inOrder, ric.data(), ric.size(), call, &undefined);
    tavlin::RenderBrick(display, ric.data(), ric.size(), call);
    for (int y = 0; y < tavlin::NXTDisplay::kHeight; ++y)
      for (int x = 0; x < tavlin::NXTDisplay::kWidth; ++x)
        if (display.Pixel(x, y) != inOrder.Pixel(x, y)) __builtin_trap();
    tavlin::CheckBrick(ric.data(), ric.size(), call);
  }
  return 0;
}
