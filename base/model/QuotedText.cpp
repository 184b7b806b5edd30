#include "QuotedText.h"

#include <algorithm>
#include <cstdio>

namespace tavlin {

namespace {

bool IsControl(unsigned char c) { return c < ' ' || c == 0x7F; }

// The length of the well-formed UTF-8 sequence at `at` (1 for ASCII), or 0
// when the byte there begins none.
std::size_t Utf8Length(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return 1;
  const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
  if (length == 0 || text.size() - at < length) return 0;
  const auto second = static_cast<unsigned char>(text[at + 1]);
  // The second byte's range rules out overlong forms, surrogates and values beyond U+10FFFF.
  const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
  const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
  if (second < low || second > high) return 0;
  for (std::size_t k = 2; k < length; ++k)
    if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) return 0;
  return length;
}

bool NeedsEscape(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = Utf8Length(text, i);
    if (length == 0 || IsControl(static_cast<unsigned char>(text[i]))) return true;
    i += length;
  }
  return false;
}

// Control characters and bytes that are not UTF-8 (a Latin-1 name, say) as escapes.
void AppendEscaped(std::string& out, std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char ch = text[i];
    const auto c = static_cast<unsigned char>(ch);
    if (const std::size_t length = Utf8Length(text, i); length > 1) {
      out.append(text.substr(i, length));
      i += length - 1;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (IsControl(c) || length == 0) {
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
  if (!NeedsEscape(shown)) return shown;
  return QuoteInput(shown, shown.size());
}

std::string QuotePath(std::string_view path) {
  const std::string shown = ShortenMiddle(path, kMessagePathLength);
  return QuoteInput(shown, shown.size());
}

}  // namespace tavlin
