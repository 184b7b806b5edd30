// Optimizing a VarMap's points: what goes, and that no input's value changes,
// whatever order the points come in.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "VarMapPoints.h"

namespace tavlin {
namespace {

// "0/0 99/63" <-> points.
std::vector<VarMapPoint> Pts(const std::string& text) {
  std::vector<VarMapPoint> points;
  std::istringstream in(text);
  unsigned domain, range;
  char slash;
  while (in >> domain >> slash >> range)
    points.push_back({std::uint16_t(domain), std::uint16_t(range)});
  return points;
}

std::string Text(const std::vector<VarMapPoint>& points) {
  std::string text;
  for (const VarMapPoint& p : points)
    text.append(text.empty() ? "" : " ")
        .append(std::to_string(p.Domain))
        .append("/")
        .append(std::to_string(p.Range));
  return text;
}

// Every input in 0..last gives the same value through both lists.
void ExpectSameValues(const std::vector<VarMapPoint>& before, const std::vector<VarMapPoint>& after,
                      int last) {
  for (int a = 0; a <= last; ++a)
    ASSERT_EQ(MapThroughPoints(before, std::uint16_t(a)), MapThroughPoints(after, std::uint16_t(a)))
        << "a = " << a << ": " << Text(before) << " gives " << Text(after);
}

TEST(VarMapPointsTest, OptimizeDropsPointsOnTheLineAndFlatEnds) {
  const std::pair<const char*, const char*> cases[] = {
      {"0/0 10/10 20/20 30/40", "0/0 20/20 30/40"},  // inner point on the line
      {"0/5 50/5 100/10", "50/5 100/10"},            // flat start
      {"0/0 50/10 100/10", "0/0 50/10"},             // flat end
      {"0/5 100/5", "0/5 100/5"},                    // two flat points stay
      {"0/0 10/10 20/20 30/30", "0/0 30/30"},        // one straight line
      {"0/5 50/5 100/5", "0/5 100/5"},               // three flat points
      {"0/0 3/1 6/2 10/3", "0/0 6/2 10/3"},          // slopes compared exactly
      {"0/300 10/200 20/100 30/0 40/7", "0/300 30/0 40/7"},
      {"10/5 20/7 10/5 40/9", "10/5 20/7 10/5 40/9"},  // unsorted from a file
  };
  for (const auto& [before, after] : cases)
    EXPECT_EQ(Text(OptimizeVarMapPoints(Pts(before))), after) << before;
}

TEST(VarMapPointsTest, OptimizeNeverChangesTheMapsValues) {
  for (const char* text : {"0/0 10/10 20/20 30/40", "0/5 50/5 100/10", "0/0 50/10 100/10",
                           "0/0 10/0 10/100 20/100",  // a step with a shared domain
                           "0/7 10/7 10/50 30/60",    // a step at the start
                           "0/100 3/0 6/200 9/400",   // rounding toward the earlier range
                           "7/3", "0/0 100/65535 200/0 255/65535"}) {
    const std::vector<VarMapPoint> before = Pts(text), after = OptimizeVarMapPoints(before);
    EXPECT_LE(after.size(), before.size()) << text;
    EXPECT_GE(after.size(), std::min<std::size_t>(2, before.size())) << text;
    ExpectSameValues(before, after, 400);
  }
}

TEST(VarMapPointsTest, OptimizeKeepsTheValuesOfAnyPointOrder) {
  // Small domains and ranges, so that equal domains, steps back and lines are common.
  std::uint32_t seed = 1;
  auto next = [&seed](int n) { return int((seed = seed * 1103515245u + 12345u) >> 16) % n; };
  std::vector<VarMapPoint> before;
  for (int trial = 0; trial < 3000; ++trial) {
    before.resize(std::size_t(2 + next(5)));
    for (VarMapPoint& p : before) p = {std::uint16_t(next(12)), std::uint16_t(next(4))};
    ExpectSameValues(before, OptimizeVarMapPoints(before), 13);
  }
}

}  // namespace
}  // namespace tavlin
