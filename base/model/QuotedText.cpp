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
  if (std::none_of(path.begin(), path.end(),
                   [](char c) { return IsControl(static_cast<unsigned char>(c)); }))
    return std::string(path);
  return QuoteInput(path, path.size());
}

}  // namespace tavlin
