// The points of the circle walk, found without walking.
//
// The circle primitive walks one quadrant from (0, r) to (r, 0), stepping
// right, down or diagonally to whichever neighbour lies nearest the circle.
// The points it visits are exactly
//   { (x, CircleColumnY(r, x)) : 0 <= x < r }  and  { (CircleRowX(r, y), y) : 0 <= y <= r },
// so a large circle can be drawn from the few columns and rows that can reach
// the display instead of walking its whole quadrant. The tests hold this
// against the literal walk.
#pragma once

namespace tavlin {

// For 0 <= x < r: the largest y >= 0 with x^2 + y (y - 1) < r^2.
long long CircleColumnY(long long r, long long x);
// For 0 <= y <= r: the smallest x >= 0 with x (x + 1) + y^2 >= r^2.
long long CircleRowX(long long r, long long y);

}  // namespace tavlin
