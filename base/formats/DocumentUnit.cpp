#include "DocumentUnit.h"

#include <sys/stat.h>

#include <filesystem>

#include "Document.h"
#include "FileIO.h"
#include "ParameterFile.h"

namespace tavlin {

std::string StartDocumentUnit(RICDocument& document) {
  PreviewParameters& p = document.Parameters();
  p.MaxParameterIndex = 15;
  p.ParameterFileName = DefaultParameterFilePath();
  // Earlier versions kept the values in the working folder: they are read from
  // there until the default file exists, and closing saves them to the default file.
  std::string source = p.ParameterFileName;
  struct stat st {};
  if (::lstat(source.c_str(), &st) != 0 && ::lstat(kDefaultParameterFileName, &st) == 0)
    source = std::filesystem::absolute(kDefaultParameterFileName);
  std::string error;
  try {
    // Nobody picked this file: a link there (from an unpacked archive, say) is not followed.
    ReadParameterFile(source, p.ParameterSet, LinkRule::Refuse);
    p.ParameterFileReadFailed = false;
  } catch (const TavlinError& e) {
    error = e.what();
    p.ParameterFileReadFailed = true;
  }
  document.UndefinedSprite() = MakeUndefinedSprite(kGrey);
  document.Reset(RICElementList{}, "");
  return error;
}

}  // namespace tavlin
