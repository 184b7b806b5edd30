#include <algorithm>

#include "RICElement.h"

namespace tavlin {

int ZoomIndex(int factor) {
  auto it = std::find(ZoomFactors.begin(), ZoomFactors.end(), factor);
  return it == ZoomFactors.end() ? 4 : int(it - ZoomFactors.begin());
}

}  // namespace tavlin
