#include "QuotedText.h"

#include <algorithm>
#include <cstdio>

namespace tavlin {

namespace {

bool IsControl(unsigned char c) { return c < ' ' || c == 0x7F; }

void AppendEscaped(std::string& out, std::string_view text) {
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (IsControl(c)) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", unsigned(c));
      out += hex;
    } else {
      out += ch;
    }
  }
}

bool StartsCharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }

// The text, its middle replaced by "..." when it holds more than `longest`
// characters (UTF-8 sequences count as one and are never split).
std::string ShortenMiddle(std::string_view text, std::size_t longest) {
  const std::size_t characters =
      std::size_t(std::count_if(text.begin(), text.end(), StartsCharacter));
  if (characters <= longest) return std::string(text);
  const std::size_t head = (longest - 3) / 2, tail = longest - 3 - head;
  std::size_t headEnd = 0, seen = 0;
  while (headEnd < text.size() && (seen < head || !StartsCharacter(text[headEnd])))
    seen += StartsCharacter(text[headEnd++]);
  std::size_t tailStart = text.size();
  for (seen = 0; seen < tail;) seen += StartsCharacter(text[--tailStart]);
  return std::string(text.substr(0, headEnd)) + "..." + std::string(text.substr(tailStart));
}

}  // namespace

std::string QuoteInput(std::string_view text, std::size_t longest) {
  std::size_t keep = std::min(text.size(), longest);
  // Never end inside a UTF-8 sequence: the cut would show as a broken character.
  if (keep < text.size())
    while (keep > 0 && (static_cast<unsigned char>(text[keep]) & 0xC0) == 0x80) --keep;
  std::string out = "'";
  AppendEscaped(out, text.substr(0, keep));
  if (keep < text.size()) out += "...";
  out += "'";
  return out;
}

std::string MessagePath(std::string_view path) {
  const std::string shown = ShortenMiddle(path, kMessagePathLength);
  if (std::none_of(shown.begin(), shown.end(),
                   [](char c) { return IsControl(static_cast<unsigned char>(c)); }))
    return shown;
  return QuoteInput(shown, shown.size());
}

std::string QuotePath(std::string_view path) {
  const std::string shown = ShortenMiddle(path, kMessagePathLength);
  return QuoteInput(shown, shown.size());
}

}  // namespace tavlin
