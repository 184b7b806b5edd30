// Pieces of input and file names as messages show them: bounded in length and
// on one line, whatever the input holds.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavlin {

// Quoted input is cut after this many characters.
constexpr std::size_t kQuotedInputLength = 40;

// A piece of input between single quotes, control characters written as \n,
// \r, \t or \xHH, bytes that are not UTF-8 as \xHH, cut after `longest`
// characters with "...": a 50 MB token makes a message of one short line.
std::string QuoteInput(std::string_view text, std::size_t longest = kQuotedInputLength);

// A file name longer than this many characters is shortened in the middle
// where a message names it: its start and its end stay readable.
constexpr std::size_t kMessagePathLength = 200;

// A file name as a message names it: as it is, unless it holds a control
// character (a newline would split the message) or bytes that are not UTF-8,
// then quoted as QuoteInput quotes; beyond kMessagePathLength characters its
// middle becomes "...".
std::string MessagePath(std::string_view path);

// A file name between single quotes, as QuoteInput quotes, shortened in the
// middle as MessagePath shortens it.
std::string QuotePath(std::string_view path);

}  // namespace tavlin
