// Program source for the NXT toolchain: the document's RIC bytes as a byte
// array an NXC or NBC program draws with GraphicArrayOut.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "RICElement.h"

namespace tavlin {

enum class SourceLanguage { Nxc, Nbc };

// The most bytes an NXC or NBC byte array holds: the compiler and the brick
// keep an array's length in a 16-bit number (the firmware's dope vectors
// count elements in a UWORD), so a longer array wraps around silently.
constexpr std::size_t kMaxSourceArrayBytes = 65535;

// How the NXC array spells the bytes: one element per line with the RIC
// macros of NXC's API, or the plain bytes, 16 to a line. NBC always gets bytes.
enum class NxcStyle { Macros, Bytes };

// Nxc for ".nxc", Nbc for ".nbc" (any case); nothing for other paths.
std::optional<SourceLanguage> SourceLanguageOfPath(const std::string& path);

// The array's name from the source file's name ("letters.ric" ->
// "letters_ric"): what is not an ASCII letter or digit becomes '_', and a
// name that would start with a digit gets "ric_" in front.
std::string SourceArrayName(const std::string& sourceFileName);

// Whether `name` can name the array: an identifier of ASCII letters, digits
// and '_' that does not start with a digit and is no word of NXC or NBC.
bool IsSourceArrayName(const std::string& name);

// The whole text of the source file. `sourceFileName` is the name (or path)
// of the file the document came from; its last part appears in the first
// comment line and names the array unless `arrayName` (checked with
// IsSourceArrayName by the caller) is given. NXC source is wrapped in an
// include guard named after the array, so that including it twice is harmless. Throws TavlinError
// (without a file name) when the document does not fit into a RIC file, or its bytes not into an
// array (kMaxSourceArrayBytes).
std::string SourceText(const RICElementList& list, const std::string& sourceFileName,
                       SourceLanguage language, NxcStyle style = NxcStyle::Macros,
                       const std::string& arrayName = {});

// Writes SourceText atomically; throws TavlinError naming `path` on failure.
void SaveSource(const std::string& path, const RICElementList& list,
                const std::string& sourceFileName, SourceLanguage language,
                NxcStyle style = NxcStyle::Macros, const std::string& arrayName = {});

}  // namespace tavlin
