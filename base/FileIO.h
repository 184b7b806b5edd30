// File access shared by every reader and writer: errors that name the file,
// bounded reads and atomic writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "QuotedText.h"

namespace tavlin {

// An error that ends a command: what() is "FILE: reason", the file named as
// MessagePath names it.
class TavlinError : public std::runtime_error {
 public:
  TavlinError(std::string file, std::string reason)
      : std::runtime_error(file.empty() ? reason : MessagePath(file) + ": " + reason),
        file_(std::move(file)),
        reason_(std::move(reason)) {}
  const std::string& File() const { return file_; }
  const std::string& Reason() const { return reason_; }

 private:
  std::string file_;
  std::string reason_;
};

// "File not found", "File access denied", "Disk full", "I/O error %d", ...
std::string IoErrorText(int errnoValue);

// Reads at most maxBytes of a file; throws TavlinError naming the file.
// `longer`, when given, tells whether the file holds more than that.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path, std::size_t maxBytes,
                                        bool* longer = nullptr);

// Writes a file completely beside the target, then renames it over the
// target, keeping the old file's mode (and owner, when allowed); on any
// failure the old file stays as it was and TavlinError is thrown. When the
// folder refuses the file beside it, an existing writable target is
// rewritten in place instead, its old bytes put back if that write fails.
void WriteFileAtomic(const std::string& path, const void* data, std::size_t size);
inline void WriteFileAtomic(const std::string& path, const std::string& text) {
  WriteFileAtomic(path, text.data(), text.size());
}

bool FileExists(const std::string& path);

// Lower-cased extension with its dot (".ric"), or "" when there is none.
std::string LowerExtension(const std::string& path);

}  // namespace tavlin
