// The point list of a VarMap: what the brick's interpreter makes of it, and
// the editing operations the VarMap page is built on.
//
// The editing operations keep the points sorted by ascending domain, with no
// two points of the same domain, and never leave fewer than two. A map loaded
// from a file keeps the order and the values it came with until the user
// edits them: the interpreter takes the points in stored order.
#pragma once

#include <cstdint>
#include <vector>

#include "RICElement.h"

namespace tavlin {

// The map's value for input a: the points are walked in list order, each
// interpolated with the one before it (truncating toward zero); inputs up to
// the first domain give the first range, inputs beyond the last the last.
std::uint16_t MapThroughPoints(const std::vector<VarMapPoint>& points, std::uint16_t a);

// Gives every point of this domain the range; without one, inserts the point
// before the first point of a larger domain (or appends it).
void PutVarMapPoint(std::vector<VarMapPoint>& points, std::uint16_t domain, std::uint16_t range);
// Deletes the last point equal to both values; with fewer than three points
// it sets that point's range to 0 instead. False when no point matched.
bool RemoveVarMapPoint(std::vector<VarMapPoint>& points, std::uint16_t domain, std::uint16_t range);
// The points without those that lie exactly on the line through their two
// neighbours, and without flat ends, as far as the map gives the same value
// for every input without them, in whatever order the points come. Lists of
// fewer than two points stay as they are.
std::vector<VarMapPoint> OptimizeVarMapPoints(const std::vector<VarMapPoint>& points);

}  // namespace tavlin
