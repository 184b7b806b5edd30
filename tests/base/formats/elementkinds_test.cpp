// Each kind's row agrees with what the RIC and RicScript writers and readers
// make of an element of that kind.
#include <gtest/gtest.h>

#include <cstring>

#include "ElementKinds.h"
#include "RicFile.h"
#include "RicScript.h"

namespace tavlin {
namespace {

class ElementKindRowTest : public testing::TestWithParam<int> {
 protected:
  const ElementKindRow& Row() const { return KindRow(RICElementKind(GetParam())); }
  // The kind's default element, its fields set to distinct constants.
  ElementPtr Element() const {
    ElementPtr e = Row().MakeDefault();
    std::uint16_t value = 11;
    for (const ArgumentField& f : Row().Fields) (*e).*f.Member = value++;
    return e;
  }
};

std::vector<std::uint16_t> Words(const std::vector<std::uint8_t>& bytes) {
  std::vector<std::uint16_t> words;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
    words.push_back(std::uint16_t(bytes[i] | bytes[i + 1] << 8));
  return words;
}

TEST_P(ElementKindRowTest, RowAgreesWithTheRicBytes) {
  RICElementList list;
  list.Add(Element());
  EXPECT_EQ(list[0]->Kind, Row().Kind);
  const std::vector<std::uint16_t> words = Words(EncodeRic(list));
  ASSERT_GE(words.size(), 2 + Row().Fields.size());
  EXPECT_EQ(2 * words.size(), ElementFileSize(*list[0]));
  EXPECT_EQ(words[0], 2 * words.size() - 2);  // the size word
  EXPECT_EQ(words[1], GetParam());            // the opcode
  for (std::size_t i = 0; i < Row().Fields.size(); ++i)
    EXPECT_EQ(words[2 + i], 11 + i) << Row().Fields[i].Name;
  if (!Row().VariableSize) {
    EXPECT_EQ(words.size(), 2 + Row().Fields.size() + std::size_t(Row().ZeroWords));
  }
  EXPECT_EQ(EncodeRic(DecodeRic(EncodeRic(list).data(), 2 * words.size())), EncodeRic(list));
}

TEST_P(ElementKindRowTest, RowAgreesWithRicScript) {
  RICElementList list;
  list.Add(Element());
  const std::string text = RicScriptText(list);
  EXPECT_EQ(text.rfind(std::string(Row().ScriptKeyword) + "( ", 0), 0u) << text;
  EXPECT_EQ(EncodeRic(ParseRicScript(text, "kind.rs")), EncodeRic(list));
  if (Row().ScriptAlias) {
    std::string aliased = Row().ScriptAlias + text.substr(std::strlen(Row().ScriptKeyword));
    EXPECT_EQ(EncodeRic(ParseRicScript(aliased, "kind.rs")), EncodeRic(list));
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, ElementKindRowTest, testing::Range(0, kElementKindCount),
                         [](const testing::TestParamInfo<int>& info) {
                           return std::string(KindName(RICElementKind(info.param)));
                         });

}  // namespace
}  // namespace tavlin
