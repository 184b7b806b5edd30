// RicScript: the text form of a document, one statement per element
// ("line( 0, 0, 0, 99, 63 );"). The reader is lenient about layout, like the
// format has always been read: everything but letters, digits, quotes and the
// separators ( ) , [ ] is dropped, the text is folded to upper case, and a
// token that is no keyword ends the reading (the caller may ask where). Real
// errors (a value that is no number, a bad sprite row, too few VarMap points,
// a failed IMPORT) fail the whole reading with the line and column where it
// stopped.
#pragma once

#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "FileIO.h"
#include "RICArgument.h"
#include "RICElement.h"

namespace tavlin {

// A script error. File() is "PATH:LINE:COLUMN" so that what() reads
// "PATH:12:5: reason" like a compiler message; Message() gives the form for a
// message box, "line 12, column 5: reason".
class RicScriptError : public TavlinError {
 public:
  RicScriptError(const std::string& path, int line, int column, const std::string& reason);
  const std::string& ScriptPath() const { return path_; }
  int Line() const { return line_; }
  int Column() const { return column_; }
  std::string Message() const;

 private:
  std::string path_;
  int line_;
  int column_;
};

// Line and column (both from 1) of a character in the original file.
struct ScriptPosition {
  int Line = 0;
  int Column = 0;
  bool operator==(const ScriptPosition&) const = default;
};

// The script text after filtering: the kept characters of all lines joined
// together. Where a character came from is worked out on demand
// (ScriptPositionOf), so the reader needs little more than the file's size.
struct ScriptText {
  std::string Text;
};

// The filter every script passes first: each line is folded to upper case
// (a-z only) and trimmed, cut before its first "//", and then only letters,
// digits, double quotes and the separators are kept, except inside double
// quotes, where everything is kept. The quote state carries over line ends.
// Lines end at LF, CR LF or a lone CR.
ScriptText FilterScriptText(std::string_view raw);

// The place in `raw` of character `index` of its filtered text; for an index
// at or beyond the text's end, the place just after its last character.
ScriptPosition ScriptPositionOf(std::string_view raw, std::size_t index);

// Told now and then how far the reading is (characters of the filtered text
// read and in all); returning false stops the reading with RicScriptCancelled.
using ScriptProgress = std::function<bool(std::size_t done, std::size_t total)>;

// The reading was stopped by its caller; nothing was read.
class RicScriptCancelled : public std::exception {
 public:
  const char* what() const noexcept override { return "the reading of the script was cancelled"; }
};

// ARG and MAPARG forms may nest this deep; deeper is an error.
constexpr int kMaxScriptNesting = 16;
// Script files larger than this are refused.
constexpr std::size_t kMaxScriptFileBytes = std::size_t(64) * 1024 * 1024;
// The pictures one script imports may hold this many pixels in all, as many
// as the largest picture (each is decoded once, however often it is named),
// and its IMPORT items may draw as many; beyond, the reading fails. This
// bounds the work and the memory of a script.
constexpr std::size_t kMaxScriptPicturePixels = std::size_t(32) * 1024 * 1024;

// How the note on a reading that stopped early ends; the other notes tell
// of rows cut to the canvas, and the document read is still the script's.
constexpr std::string_view kScriptStopNoteEnd = "the rest of the file was not read";

// Reads the raw text of a script into new elements. `scriptPath` names the
// file in errors, and relative IMPORT picture names are looked up in its
// folder (each path component matched regardless of case when the exact name
// does not exist, since the script text is upper-cased). Throws RicScriptError.
// A word that is no statement ends the reading and keeps what came before;
// when `notes` is given, it receives where and at what the reading stopped:
// "PATH:3:1: 'circel(0,50,32,10);' is not a RicScript statement; the rest of
// the file was not read"; after it, where sprite rows were cut to the canvas
// (one note per sprite, at most kMaxReadNotes): "PATH:7:3: a sprite row of
// 1030 pixels is wider than the canvas (1024 pixels); it was cut".
RICElementList ParseRicScript(std::string_view raw, const std::string& scriptPath,
                              std::vector<std::string>* notes = nullptr,
                              const ScriptProgress& progress = {});

// Reads a script file into new elements. Throws RicScriptError for a fault in
// the script and TavlinError when the file cannot be read.
RICElementList LoadRicScript(const std::string& path, std::vector<std::string>* notes = nullptr,
                             const ScriptProgress& progress = {});

// Reads a script file into a document's list: replaces it (clearFirst) or
// appends to it, and returns true. The script is read completely first; on
// any failure the list stays exactly as it was and the error is thrown
// (RicScriptError with line and column, or TavlinError for an unreadable file).
bool ReadRicScript(RICElementList& document, const std::string& path, bool clearFirst,
                   std::vector<std::string>* notes = nullptr);

// An argument word as the writer puts it: "300", "arg(7)" or "maparg( 2, 7 )".
std::string FormatScriptArgument(RICArgument word);

// The script text of a list: CR LF line ends, one empty line after each
// statement; an empty list gives an empty text.
std::string RicScriptText(const RICElementList& list);

// Writes a list as a script file atomically; throws TavlinError on failure,
// leaving any old file as it was.
void SaveRicScript(const std::string& path, const RICElementList& list);

// Writes a document's list as a script file; returns true, throws TavlinError on failure.
bool WriteRicScript(const RICElementList& document, const std::string& path);

}  // namespace tavlin
