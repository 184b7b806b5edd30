// One row per element kind: everything the model, the file formats, the
// command-line tool and the editor need to know about a kind that is data
// rather than behaviour. Code walks these rows instead of switching on the
// kind; a switch remains only where a kind really behaves differently
// (drawing it, reading a sprite's rows or a VarMap's points).
#pragma once

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "ArgumentFields.h"
#include "RICElement.h"

namespace tavlin {

// Which named bits a kind's CopyOpt word has (CopyOptionsText).
enum class CopyOptionSet { None, Shapes, Bitmaps, Polygon };

// A labelled value of the element list's row: one field, or two shown as
// "a/b". Members point into TRICElement.
struct ItemColumn {
  const char* Label;
  std::uint16_t TRICElement::*First;
  std::uint16_t TRICElement::*Second = nullptr;
};

struct ElementKindRow {
  RICElementKind Kind;
  // "Line": the name the tool, the dump and the step names use.
  const char* Name;
  // The fixed words after the opcode, in file order; their names are the
  // dump's keys and the pages' widget names.
  std::span<const ArgumentField> Fields = {};
  // Zero words the record ends with after its fields (a Pixel's value word).
  int ZeroWords = 0;
  // True when the fields are argument words (ARG, MAPARG); false for plain
  // numbers (a Description's).
  bool ArgumentWords = true;
  CopyOptionSet CopyOptions = CopyOptionSet::None;
  // The RicScript keyword the writer writes ("line"); the reader takes it in
  // any case, and the older spelling too (`ScriptAlias`, upper case, or null).
  const char* ScriptKeyword = "";
  const char* ScriptAlias = nullptr;
  // The element the Add element command makes.
  ElementPtr (*MakeDefault)() = nullptr;
  // The bytes the element takes on file, size word included, where they
  // depend on more than the fields (null: 4 + 2 x (fields + zero words)).
  std::size_t (*VariableSize)(const TRICElement&) = nullptr;
  // What the element list shows of the element.
  std::span<const ItemColumn> Items = {};
  // Items the columns cannot say (a sprite's size, a VarMap's entries); null: none.
  std::vector<ElementItem> (*OwnItems)(const TRICElement&) = nullptr;
};

// The row of a kind; every kind has one.
const ElementKindRow& KindRow(RICElementKind kind);
// All rows, in opcode order.
std::span<const ElementKindRow> ElementKindRows();
// True when `opcode` names a kind.
constexpr bool IsElementKind(unsigned opcode) { return opcode < unsigned(kElementKindCount); }
// The row whose RicScript keyword or alias is `word` (upper case), or null.
const ElementKindRow* KindOfScriptKeyword(std::string_view word);

// The bytes the element takes in a RIC file, byte for byte: the size word,
// the pad byte after an odd number of sprite bytes and zero words included.
std::size_t ElementFileSize(const TRICElement& e);

}  // namespace tavlin
