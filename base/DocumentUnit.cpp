#include "DocumentUnit.h"

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
  if (!FileExists(source) && FileExists(kDefaultParameterFileName))
    source = std::filesystem::absolute(kDefaultParameterFileName);
  std::string error;
  try {
    ReadParameterFile(source);
  } catch (const TavlinError& e) {
    error = e.what();
  }
  InitUndefinedSprite(kGrey);
  ClearElements();
  return error;
}

}  // namespace tavlin
