// The start of the document unit: its globals set before any window exists.
#pragma once

#include <string>

namespace tavlin {

// 16-parameter mode, the default parameter file read (or an old "Tavlin.RPA"
// in the working folder while there is none), the placeholder sprite created
// on a grey background and the document emptied. Returns the message of a bad
// parameter file (the values read before the bad line stay), or "" when all
// went well. The editor paints the placeholder's texts afterwards.
std::string StartDocumentUnit();

}  // namespace tavlin
