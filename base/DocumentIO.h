// Reading and writing a document by its file name's extension: ".ric" is the
// binary format, ".rs" RicScript.
#pragma once

#include <string>

#include "RICElement.h"

namespace tavlin {

enum class DocumentFormat { Ric, RicScript, Unknown };
DocumentFormat FormatOfPath(const std::string& path);

// Throws TavlinError naming the file on any failure.
RICElementList LoadDocument(const std::string& path);
void SaveDocument(const std::string& path, const RICElementList& list);

}  // namespace tavlin
