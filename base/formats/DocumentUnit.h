// The start of the editor's document before any window shows it.
#pragma once

#include <string>

namespace tavlin {

class RICDocument;

// 16-parameter mode, the default parameter file read (or an old "Tavlin.RPA"
// in the working folder while there is none), the placeholder sprite created
// on a grey background and the document emptied. Returns the message of a bad
// parameter file (the values read before the bad line stay), or "" when all
// went well. The editor paints the placeholder's texts afterwards.
std::string StartDocumentUnit(RICDocument& document);

}  // namespace tavlin
