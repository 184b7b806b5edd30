// Real RIC files rendered with chosen parameters, against stored pictures
// (tests/data/render/*.txt, one character per pixel).
#include <gtest/gtest.h>

#include "DocumentIO.h"
#include "RICInterpreter.h"
#include "RenderTestUtil.h"

namespace tavlin {
namespace {

struct GoldenCase {
  const char* name;
  const char* document;
  std::vector<std::pair<int, int>> parameters;
  int dx, dy;
  const char* golden;
};

class GoldenRenderTest : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenRenderTest, MatchesTheStoredPicture) {
  const GoldenCase& c = GetParam();
  const RICElementList list = LoadDocument(std::string(TAVLIN_TEST_DATA) + "/" + c.document);
  TParameterSet params{};
  for (auto [index, value] : c.parameters) params[std::size_t(index)] = std::uint16_t(value);
  NXTDisplay d;
  RenderDocument(d, c.dx, c.dy, list, params);
  const auto expected = test::ReadGridFile(std::string(TAVLIN_TEST_DATA) + "/render/" + c.golden);
  ASSERT_EQ(expected.size(), 64u) << c.golden;
  EXPECT_EQ(test::Joined(test::Grid(d)), test::Joined(expected));
}

INSTANTIATE_TEST_SUITE_P(
    RealFiles, GoldenRenderTest,
    ::testing::Values(GoldenCase{"TwoCircles", "two-circles.ric", {}, 0, 0, "two-circles.txt"},
                      // Parameters do not move constant shapes.
                      GoldenCase{"TwoCirclesWithParameters",
                                 "two-circles.ric",
                                 {{0, 12}, {1, 22}},
                                 0,
                                 0,
                                 "two-circles.txt"},
                      GoldenCase{"LettersT", "letters.ric", {{0, 20}}, 0, 0, "letters-p20.txt"},
                      GoldenCase{"LettersC", "letters.ric", {{0, 90}}, 0, 0, "letters-p90.txt"},
                      GoldenCase{"NumgridBlock",
                                 "numgrid.ric",
                                 {{0, 20}, {1, 10}, {2, 30}, {3, 20}},
                                 5,
                                 3,
                                 "numgrid-20-10-30-20-offset-5-3.txt"}),
    [](const auto& info) { return std::string(info.param.name); });

// Source blocks off the sprite, or of no size, draw nothing.
TEST(GoldenRenderTest, BlocksOffTheSpriteOrEmptyDrawNothing) {
  const RICElementList letters = LoadDocument(std::string(TAVLIN_TEST_DATA) + "/letters.ric");
  const RICElementList numgrid = LoadDocument(std::string(TAVLIN_TEST_DATA) + "/numgrid.ric");
  TParameterSet params{};
  NXTDisplay d;
  params[0] = 2000;  // beyond the canvas
  RenderDocument(d, 0, 0, letters, params);
  EXPECT_EQ(d, NXTDisplay());
  params = {};
  params[0] = 1;
  params[1] = 1;  // width and height 0
  RenderDocument(d, 0, 0, numgrid, params);
  EXPECT_EQ(d, NXTDisplay());
}

}  // namespace
}  // namespace tavlin
