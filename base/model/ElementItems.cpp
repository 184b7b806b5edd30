// The labelled values the element list shows for an element.
#include "ElementKinds.h"

namespace tavlin {

std::vector<ElementItem> ElementItems(const TRICElement& e) {
  const ElementKindRow& row = KindRow(e.Kind);
  // Plain numbers as they are, argument words as the grid writes them.
  auto text = [&](std::uint16_t word) {
    return row.ArgumentWords ? FormatGridArgument(word) : std::to_string(word);
  };
  std::vector<ElementItem> items;
  for (const ItemColumn& column : row.Items)
    items.push_back({column.Label, column.Second
                                       ? text(e.*column.First) + "/" + text(e.*column.Second)
                                       : text(e.*column.First)});
  if (row.OwnItems)
    for (ElementItem& item : row.OwnItems(e)) items.push_back(std::move(item));
  // The options beside the kind's own items: none for the plain default 0,
  // the names for another constant, the reference otherwise.
  if (row.CopyOptions != CopyOptionSet::None && e.CopyOpt != 0) {
    const bool constant = DecodeArgument(e.CopyOpt).Mode == ArgumentMode::Constant;
    items.push_back(
        {"Options", constant ? CopyOptionsText(e.CopyOpt, e.Kind) : FormatGridArgument(e.CopyOpt)});
  }
  return items;
}

}  // namespace tavlin
