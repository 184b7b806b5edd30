// The argument word: decoding, the editors' encoding and the short text form.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "RICArgument.h"

namespace tavlin {
namespace {

struct WordCase {
  RICArgument word;
  ArgumentMode mode;
  int constant;   // Constant form
  int mapId;      // Mapped form
  int parameter;  // Parameter and Mapped forms
  const char* text;
  RICArgument reencoded;  // the word after an editor writes it back
};

std::string WordName(const ::testing::TestParamInfo<WordCase>& info) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "Word%04X", unsigned(info.param.word));
  return buf;
}

class RicArgumentWordTest : public ::testing::TestWithParam<WordCase> {};

TEST_P(RicArgumentWordTest, Decodes) {
  const WordCase& c = GetParam();
  DecodedArgument a = DecodeArgument(c.word);
  EXPECT_EQ(a.Mode, c.mode);
  if (c.mode == ArgumentMode::Constant) {
    EXPECT_EQ(a.Constant, c.constant);
  }
  if (c.mode == ArgumentMode::Mapped) {
    EXPECT_EQ(a.MapId, c.mapId);
  }
  if (c.mode != ArgumentMode::Constant) {
    EXPECT_EQ(a.Parameter, c.parameter);
  }
}

TEST_P(RicArgumentWordTest, HasItsShortText) {
  EXPECT_EQ(FormatGridArgument(GetParam().word), GetParam().text);
}

TEST_P(RicArgumentWordTest, IsWrittenBackWithTagF) {
  EXPECT_EQ(EncodeArgument(DecodeArgument(GetParam().word)), GetParam().reencoded);
}

using M = ArgumentMode;
INSTANTIATE_TEST_SUITE_P(
    Words, RicArgumentWordTest,
    ::testing::Values(WordCase{0x0000, M::Constant, 0, 0, 0, "0", 0x0000},
                      WordCase{0x0025, M::Constant, 37, 0, 0, "37", 0x0025},
                      WordCase{0x012C, M::Constant, 300, 0, 0, "300", 0x012C},
                      WordCase{0x0FFF, M::Constant, 4095, 0, 0, "4095", 0x0FFF},
                      WordCase{0xF000, M::Parameter, 0, 0, 0, "P[0]", 0xF000},
                      WordCase{0xF003, M::Parameter, 0, 0, 3, "P[3]", 0xF003},
                      WordCase{0xF005, M::Parameter, 0, 0, 5, "P[5]", 0xF005},
                      WordCase{0xF0FF, M::Parameter, 0, 0, 255, "P[255]", 0xF0FF},
                      WordCase{0xF100, M::Mapped, 0, 1, 0, "V[1:0]", 0xF100},
                      WordCase{0xF203, M::Mapped, 0, 2, 3, "V[2:3]", 0xF203},
                      WordCase{0xF205, M::Mapped, 0, 2, 5, "V[2:5]", 0xF205},
                      WordCase{0xFAFF, M::Mapped, 0, 10, 255, "V[10:255]", 0xFAFF},
                      WordCase{0xFF01, M::Mapped, 0, 15, 1, "V[15:1]", 0xFF01},
                      // Any non-zero tag marks a reference, as in files made by other tools.
                      WordCase{0x1000, M::Parameter, 0, 0, 0, "P[0]", 0xF000},
                      WordCase{0x1005, M::Parameter, 0, 0, 5, "P[5]", 0xF005},
                      WordCase{0x1234, M::Mapped, 0, 2, 0x34, "V[2:52]", 0xF234},
                      WordCase{0x8001, M::Parameter, 0, 0, 1, "P[1]", 0xF001},
                      WordCase{0x1388, M::Mapped, 0, 3, 0x88, "V[3:136]", 0xF388},
                      WordCase{0xFC05, M::Mapped, 0, 12, 5, "V[12:5]", 0xFC05}),
    WordName);

TEST(RicArgumentTest, EditorsEncodeConstantsInTwelveBits) {
  EXPECT_EQ(EncodeConstant(0), 0);
  EXPECT_EQ(EncodeConstant(4095), 0x0FFF);
  EXPECT_EQ(EncodeConstant(4096), 0);
  EXPECT_EQ(EncodeConstant(5000), 904);
  EXPECT_EQ(EncodeArgument({ArgumentMode::Constant, 5000, 0, 0}), 904);
}

TEST(RicArgumentTest, EditorsEncodeReferencesWithTagF) {
  EXPECT_EQ(EncodeParameter(0), 0xF000);
  EXPECT_EQ(EncodeParameter(255), 0xF0FF);
  EXPECT_EQ(EncodeParameter(0x1FF), 0xF0FF);
  EXPECT_EQ(EncodeMapped(1, 0), 0xF100);  // what the "V" button gives by default
  EXPECT_EQ(EncodeMapped(10, 5), 0xFA05);
  EXPECT_EQ(EncodeMapped(0x1F, 0x1FF), 0xFFFF);
  EXPECT_EQ(EncodeArgument({ArgumentMode::Mapped, 0, 2, 5}), 0xF205);
  EXPECT_EQ(EncodeArgument({ArgumentMode::Parameter, 99, 7, 5}), 0xF005);
}

// Over all 65,536 words: the decoded parts are in range, the tag-F form and
// constants survive a write back unchanged, any other tag becomes F.
TEST(RicArgumentTest, EveryWordDecodesIntoRangeAndReencodesConsistently) {
  for (unsigned w = 0; w <= 0xFFFF; ++w) {
    DecodedArgument a = DecodeArgument(RICArgument(w));
    RICArgument back = EncodeArgument(a);
    unsigned tag = w >> 12;
    unsigned expected = tag == 0 ? w : (0xF000 | (w & 0x0FFF));
    ASSERT_EQ(back, expected) << std::hex << w;
    ASSERT_LE(a.Constant, 4095);
    ASSERT_LE(a.MapId, 15);
    if (tag != 0) {
      ASSERT_EQ(a.MapId == 0, a.Mode == ArgumentMode::Parameter) << std::hex << w;
    }
  }
}

}  // namespace
}  // namespace tavlin
