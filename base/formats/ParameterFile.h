// The text file that keeps the run-time parameter values between runs.
#pragma once

#include <string>

#include "FileIO.h"
#include "ParameterSet.h"

namespace tavlin {

constexpr const char* kDefaultParameterFileName = "Tavlin.RPA";

// A file of the user's settings: NAME in ConfigFolder(), $XDG_CONFIG_HOME/tavlin
// or ~/.config/tavlin. Empty when no such folder may be used (no absolute HOME,
// or a folder of another user): such settings last only while the program runs.
std::string ConfigFilePath(const std::string& name);
// Where the values are kept between runs: ConfigFilePath("Tavlin.RPA"); empty
// when they cannot be kept.
std::string DefaultParameterFilePath();
// Makes the missing folders above `path`; TavlinError names the folder that failed.
void CreateParentFolders(const std::string& path);

// Applies a parameter file to `set`. A missing file does nothing. A line whose
// index or value is no number stops the reading with TavlinError
// "'%s' is not a valid integer value"; earlier lines stay applied. A file that
// cannot be read, is far too large or holds binary data changes nothing.
// The default file, which nobody picked, is read with LinkRule::Refuse.
void ReadParameterFile(const std::string& path, TParameterSet& set,
                       LinkRule links = LinkRule::Follow);
// Reads a file the user picked to become the parameter file, which closing
// writes back: it is taken only when it is empty or every line that is not
// blank is a comment or an "INDEX : VALUE" line, since anything else in it
// would be lost. Otherwise TavlinError names the line ("line 3: 'milk' is no
// parameter line (INDEX : VALUE)") and `set` stays as it was. A missing file
// is an error here. Both readers pass over a UTF-8 byte-order mark.
void LoadParameterFile(const std::string& path, TParameterSet& set);

// The file's text (CR LF lines); `stamp` is the "dd.mm.yyyy hh:nn:ss" time.
std::string ParameterFileText(const std::string& path, const TParameterSet& set,
                              const std::string& stamp);
// Writes the file atomically; throws TavlinError on failure.
void WriteParameterFile(const std::string& path, const TParameterSet& set,
                        LinkRule links = LinkRule::Follow);

}  // namespace tavlin
