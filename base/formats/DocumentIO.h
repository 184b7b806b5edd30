// Reading and writing a document by its file name's extension: ".ric" is the
// binary format, ".rs" RicScript.
#pragma once

#include <string>
#include <vector>

#include "RICElement.h"

namespace tavlin {

enum class DocumentFormat { Ric, RicScript, Unknown };
DocumentFormat FormatOfPath(const std::string& path);

// Throws TavlinError naming the file on any failure. `notes`, when given,
// receives what the reader passed over or where it stopped early, each
// naming the file (see DecodeRic and ParseRicScript).
RICElementList LoadDocument(const std::string& path, std::vector<std::string>* notes = nullptr);
void SaveDocument(const std::string& path, const RICElementList& list);

}  // namespace tavlin
