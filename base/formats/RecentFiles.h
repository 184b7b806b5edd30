// The RIC files the user opened or saved last, newest first, kept in a text
// file of their own, one absolute path a line. Every change reads the file
// again first, so that windows running side by side keep one list.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tavlin {

constexpr std::size_t kMaxRecentFiles = 8;

// The list as kept in `listFile`; a missing or unreadable file gives an empty
// list, and lines that are no absolute path or repeat one are passed over.
std::vector<std::string> ReadRecentFiles(const std::string& listFile);

// Puts `path` first, dropping its older entry and those beyond the eighth,
// and writes the list atomically (making its folder when needed). Returns
// the new list; a path that cannot be kept on one line changes nothing.
// Throws TavlinError when the list cannot be written.
std::vector<std::string> AddRecentFile(const std::string& listFile, const std::string& path);

// Drops `path` from the list and writes it; throws TavlinError like AddRecentFile.
std::vector<std::string> RemoveRecentFile(const std::string& listFile, const std::string& path);

}  // namespace tavlin
