// Recovery copies of unsaved work, kept in a folder of the user's own
// (RecoveryFolder()) so that a crash or a logout loses at most the last few
// seconds. Each editor process keeps one copy under a name of its own,
// "tavlin-PID-START": NAME.ric holds the document's RIC bytes, NAME.info which
// process wrote it and the file the document belongs to. The .info file is
// written last and removed first, so that a copy found is a whole one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "FileStamp.h"

namespace tavlin {

struct RecoveryCopy {
  std::string name;          // the two files' name without extension
  long pid = 0;              // the process that wrote it
  std::string process;       // ProcessKey() of that process when it wrote the copy
  std::string fileName;      // the document's file; empty for an untitled document
  FileStamp stamp;           // that file as the writer last read or saved it
  std::int64_t written = 0;  // when the copy was written, seconds since 1970
};

// What tells a running process from a later one with the same number: the
// boot's id and the process's start time. Empty when no such process runs.
std::string ProcessKey(long pid);
// This process's own copy: its name, pid and key.
RecoveryCopy OwnRecoveryCopy();

// Writes the copy's two files atomically, making the folder (0700) when it is
// missing; throws TavlinError naming the file on failure.
void WriteRecoveryCopy(const std::string& folder, const RecoveryCopy& copy,
                       const std::vector<std::uint8_t>& ricBytes);
// The copies in the folder whose writer no longer runs, oldest first. A
// .info file that cannot be read as one is passed over.
std::vector<RecoveryCopy> FindRecoveryCopies(const std::string& folder);
// The copy's RIC bytes; throws TavlinError naming the file.
std::vector<std::uint8_t> ReadRecoveryBytes(const std::string& folder, const RecoveryCopy& copy);
// Removes both files; a copy that is not there is no error.
void RemoveRecoveryCopy(const std::string& folder, const std::string& name);

// The .info file's text, and back (false when it is none).
std::string RecoveryInfoText(const RecoveryCopy& copy);
bool ParseRecoveryInfo(const std::string& text, RecoveryCopy& copy);

}  // namespace tavlin
