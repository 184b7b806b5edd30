#include "ParameterUse.h"

#include "ArgumentFields.h"
#include "RICArgument.h"

namespace tavlin {

namespace {
bool Reads(RICArgument word, int parameter) {
  const DecodedArgument a = DecodeArgument(word);
  return a.Mode != ArgumentMode::Constant && a.Parameter == parameter;
}
}  // namespace

bool ListUsesParameter(const RICElementList& list, int parameter) {
  for (const auto& e : list) {
    for (const ArgumentField& field : ArgumentFields(e->Kind))
      if (Reads((*e).*field.Member, parameter)) return true;
    for (const auto& point : e->PolygonPoints)
      if (Reads(point.X, parameter) || Reads(point.Y, parameter)) return true;
  }
  return false;
}

}  // namespace tavlin
