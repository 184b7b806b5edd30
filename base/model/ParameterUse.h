// Whether a document's drawing depends on a parameter: any argument word that
// reads it, plainly or through a VarMap.
#pragma once

#include "RICElement.h"

namespace tavlin {

bool ListUsesParameter(const RICElementList& list, int parameter);

}  // namespace tavlin
