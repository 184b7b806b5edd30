// The 256 run-time parameter values the preview uses, and their text file.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "FileIO.h"

namespace tavlin {

using TParameterSet = std::array<std::uint16_t, 256>;

extern TParameterSet ParameterSet;
// The highest index the parameter panel offers: 15 or 255.
extern int MaxParameterIndex;
// The current parameter file; the program sets it to DefaultParameterFilePath() at start.
// Empty while there is none: closing then writes nothing.
extern std::string ParameterFileName;
constexpr const char* kDefaultParameterFileName = "Tavlin.RPA";
// The parameter file failed to read at start: closing must not write over it
// (and lose the lines the reader never reached) until the user loads or saves one.
extern bool ParameterFileReadFailed;

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
void ReadParameterFile(const std::string& path);
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
void WriteParameterFile(const std::string& path);

void ClearParameters();

}  // namespace tavlin
