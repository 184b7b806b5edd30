#include "DocumentIO.h"

#include <sys/stat.h>

#include "FileIO.h"
#include "RicFile.h"
#include "RicScript.h"

namespace tavlin {

DocumentFormat FormatOfPath(const std::string& path) {
  std::string ext = LowerExtension(path);
  if (ext == ".ric") return DocumentFormat::Ric;
  if (ext == ".rs") return DocumentFormat::RicScript;
  return DocumentFormat::Unknown;
}

RICElementList LoadDocument(const std::string& path, std::vector<std::string>* notes) {
  switch (FormatOfPath(path)) {
    case DocumentFormat::Ric:
      return LoadRicFile(path, notes);
    case DocumentFormat::RicScript:
      return LoadRicScript(path, notes);
    case DocumentFormat::Unknown:
      break;
  }
  throw TavlinError(path, "unknown file type (expected .ric or .rs)");
}

void SaveDocument(const std::string& path, const RICElementList& list) {
  switch (FormatOfPath(path)) {
    case DocumentFormat::Ric:
      SaveRicFile(path, list);
      return;
    case DocumentFormat::RicScript:
      SaveRicScript(path, list);
      return;
    case DocumentFormat::Unknown:
      break;
  }
  throw TavlinError(path, "unknown file type (expected .ric or .rs)");
}

std::uint64_t DocumentFileSize(const std::string& path, const RICElementList& list) {
  struct stat st {};
  if (!path.empty() && FormatOfPath(path) == DocumentFormat::Ric &&
      ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
    return std::uint64_t(st.st_size);
  return std::uint64_t(ComputeFileSize(list));
}

}  // namespace tavlin
