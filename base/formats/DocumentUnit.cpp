#include "DocumentUnit.h"

#include <sys/stat.h>

#include <filesystem>

#include "FileIO.h"
#include "ParameterSet.h"
#include "RICElement.h"

namespace tavlin {

std::string StartDocumentUnit() {
  MaxParameterIndex = 15;
  ParameterFileName = DefaultParameterFilePath();
  // Earlier versions kept the values in the working folder: they are read from
  // there until the default file exists, and closing saves them to the default file.
  std::string source = ParameterFileName;
  struct stat st {};
  if (::lstat(source.c_str(), &st) != 0 && ::lstat(kDefaultParameterFileName, &st) == 0)
    source = std::filesystem::absolute(kDefaultParameterFileName);
  std::string error;
  try {
    // Nobody picked this file: a link there (from an unpacked archive, say) is not followed.
    ReadParameterFile(source, ParameterSet, LinkRule::Refuse);
    ParameterFileReadFailed = false;
  } catch (const TavlinError& e) {
    error = e.what();
    ParameterFileReadFailed = true;
  }
  InitUndefinedSprite(kGrey);
  ClearElements();
  return error;
}

}  // namespace tavlin
