// Reading and writing a document by its file name's extension: ".ric" is the
// binary format, ".rs" RicScript.
#pragma once

#include <cstdint>
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

// The size of the document's RIC file, byte for byte: for a ".ric" file that
// is there, its size on disk (zero words and pad bytes the reader passes over
// included); otherwise the size the list is written as.
std::uint64_t DocumentFileSize(const std::string& path, const RICElementList& list);

}  // namespace tavlin
