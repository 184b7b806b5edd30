// libFuzzer target: any text pasted into a VarMap (the numbers the editor
// reads from the clipboard, paired into points as its import does), and the
// optimiser, which must leave the map's value unchanged for every input.
#include <QString>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "VarMapPage.h"
#include "VarMapPoints.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint16_t> numbers = tavlin::ReadClipboardNumbers(
      QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)));
  std::vector<tavlin::VarMapPoint> points;
  for (std::size_t i = 0; i + 1 < numbers.size(); i += 2)
    tavlin::PutVarMapPoint(points,
                           std::min<std::uint16_t>(numbers[i], tavlin::TVarMapPage::kMaxDomain),
                           numbers[i + 1]);
  if (points.size() < 2) return 0;
  const std::vector<tavlin::VarMapPoint> optimized = tavlin::OptimizeVarMapPoints(points);
  for (int a = 0; a <= 300; ++a)
    if (tavlin::MapThroughPoints(optimized, std::uint16_t(a)) !=
        tavlin::MapThroughPoints(points, std::uint16_t(a)))
      __builtin_trap();
  return 0;
}
