#include "SourceExport.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "FileIO.h"
#include "RicFile.h"

namespace tavlin {

namespace {

using ByteSpan = std::span<const std::uint8_t>;

std::string LastPathPart(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsAsciiAlnum(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

std::string Hex(unsigned value, int digits) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value & 0xFFFFu);
  return text;
}

std::string JoinedBytes(ByteSpan bytes) {
  std::string s;
  for (std::size_t i = 0; i < bytes.size(); ++i) s += (i ? ", " : "") + Hex(bytes[i], 2);
  return s;
}

// Where NXC's RICArg or RICMapArg (which set tag 0x1000) gives the very same
// word, the word is written with it; constants need no macro, and any other
// reference word (our own editors tag with 0xF000) is written as it stands.
std::string ArgumentText(RICArgument word) {
  if ((word & 0xF000) == 0) return std::to_string(word);
  if ((word & 0xF000) == 0x1000) {
    unsigned map = (word >> 8) & 0x0F, parameter = word & 0xFF;
    if (map == 0) return "RICArg(" + std::to_string(parameter) + ")";
    return "RICMapArg(" + std::to_string(map) + ", " + std::to_string(parameter) + ")";
  }
  return Hex(word, 4) + " /*" + FormatGridArgument(word) + "*/";
}

std::string Point(RICArgument x, RICArgument y) {
  return "RICImgPoint(" + ArgumentText(x) + ", " + ArgumentText(y) + ")";
}

unsigned WordAt(ByteSpan bytes, std::size_t offset) {
  return bytes[offset] | unsigned(bytes[offset + 1]) << 8;
}

// One element in NXC's RIC macros, or nothing where no macro writes exactly
// `bytes` (a sprite without pixel bytes and an empty VarMap carry zero words
// that RICOpSprite and RICOpVarMap do not count).
std::optional<std::string> MacroText(const TRICElement& e, ByteSpan bytes) {
  const std::string c = ArgumentText(e.CopyOpt);
  switch (e.Kind) {
    case RICElementKind::Description:
      return "RICOpDescription(" + std::to_string(e.Options) + ", " + std::to_string(e.Width) +
             ", " + std::to_string(e.Height) + ")";
    case RICElementKind::Sprite: {
      const unsigned rows = WordAt(bytes, 6), bytesPerRow = WordAt(bytes, 8);
      const std::size_t n = std::size_t(rows) * bytesPerRow;
      if (n == 0 || bytes.size() != 10 + n + n % 2) return std::nullopt;
      // The pad byte of an odd count is no pixel, but the size word counts it.
      return "RICOpSprite(" + std::to_string(e.ID) + ", " + std::to_string(rows) + ", " +
             std::to_string(bytesPerRow) + ", RICSpriteData(" + JoinedBytes(bytes.subspan(10)) +
             "))";
    }
    case RICElementKind::VarMap: {
      if (e.Points.empty()) return std::nullopt;
      std::string points;
      for (std::size_t i = 0; i < e.Points.size(); ++i)
        points += (i ? ", " : "") + ("RICMapElement(" + std::to_string(e.Points[i].Domain) + ", " +
                                     std::to_string(e.Points[i].Range) + ")");
      // RICMapFunction wants two points at least; a single one stands alone.
      if (e.Points.size() > 1) points = "RICMapFunction(" + points + ")";
      return "RICOpVarMap(" + std::to_string(e.ID) + ", " + std::to_string(e.Points.size()) + ", " +
             points + ")";
    }
    case RICElementKind::CopyBits:
      return "RICOpCopyBits(" + c + ", " + ArgumentText(e.SpriteID) + ", RICImgRect(" +
             Point(e.PosX, e.PosY) + ", " + ArgumentText(e.Width) + ", " + ArgumentText(e.Height) +
             "), " + Point(e.RelX, e.RelY) + ")";
    case RICElementKind::Pixel:
      return "RICOpPixel(" + c + ", " + Point(e.PosX, e.PosY) + ", 0)";
    case RICElementKind::Line:
      return "RICOpLine(" + c + ", " + Point(e.X1, e.Y1) + ", " + Point(e.X2, e.Y2) + ")";
    case RICElementKind::Rectangle:
      return "RICOpRect(" + c + ", " + Point(e.PosX, e.PosY) + ", " + ArgumentText(e.Width) + ", " +
             ArgumentText(e.Height) + ")";
    case RICElementKind::Circle:
      return "RICOpCircle(" + c + ", " + Point(e.PosX, e.PosY) + ", " + ArgumentText(e.Radius) +
             ")";
    case RICElementKind::NumBox:
      return "RICOpNumBox(" + c + ", " + Point(e.PosX, e.PosY) + ", " + ArgumentText(e.Value) + ")";
    case RICElementKind::Ellipse:
      if (bytes.size() != 14) return std::nullopt;  // a size word made elsewhere
      return "RICOpEllipse(" + c + ", " + Point(e.PosX, e.PosY) + ", " + ArgumentText(e.RadiusX) +
             ", " + ArgumentText(e.RadiusY) + ")";
    case RICElementKind::Polygon: {
      // RICPolygonPoints wants three points at least; the macro's size word
      // and count follow from the points alone.
      const std::size_t count = e.PolygonPoints.size();
      if (count < 3 || bytes.size() != 8 + 4 * count || WordAt(bytes, 6) != count)
        return std::nullopt;
      std::string points;
      for (const PolygonPoint& p : e.PolygonPoints)
        points += (points.empty() ? "" : ", ") + Point(p.X, p.Y);
      return "RICOpPolygon(" + c + ", " + std::to_string(count) + ", RICPolygonPoints(" + points +
             "))";
    }
  }
  return std::nullopt;
}

// The encoded bytes cut into one piece per element. Every element the
// writer makes occupies its size word plus the two bytes of that word.
std::vector<ByteSpan> ElementPieces(const RICElementList& list,
                                    const std::vector<std::uint8_t>& bytes) {
  std::vector<ByteSpan> pieces;
  std::size_t at = 0;
  while (at + 2 <= bytes.size()) {
    std::size_t length = WordAt(bytes, at) + 2;
    if (at + length > bytes.size()) break;
    pieces.emplace_back(bytes.data() + at, length);
    at += length;
  }
  if (at != bytes.size() || int(pieces.size()) != list.Count())
    throw std::logic_error("the RIC encoding does not split into its elements");
  return pieces;
}

// The lines between the braces of an NXC array: value lines, separated by
// commas, and comment lines between them.
struct ArrayLine {
  bool comment = false;
  std::string text;
};

std::string NxcArray(const std::string& name, const std::vector<ArrayLine>& lines) {
  std::size_t lastValue = lines.size();
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (!lines[i].comment) lastValue = i;
  std::string s = "byte " + name + "[] = {\n";
  for (std::size_t i = 0; i < lines.size(); ++i)
    s += "  " + lines[i].text + (lines[i].comment || i == lastValue ? "\n" : ",\n");
  return s + "};\n";
}

// A file name fit for a one-line comment.
std::string CommentSafe(std::string text) {
  for (char& ch : text)
    if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F) ch = '?';
  return text;
}

// The comment that opens every export: what it holds and how a program draws
// it. GraphicArrayOut and GraphicArrayOutEx exist only in the enhanced
// NBC/NXC firmware (the compiler needs -EF for them); the stock LEGO firmware
// draws a .ric file that was copied to the brick.
std::string Preamble(const std::string& file, const std::string& name, const char* language,
                     const char* end) {
  return "// " + file + " as a RIC byte array for " + language + " (written by Tavlin).\n" +
         "// Draw it with: GraphicArrayOut(0, 0, " + name + ")" + end + "\n" +
         "// GraphicArrayOut and GraphicArrayOutEx need the enhanced NBC/NXC firmware:\n" +
         "// compile with `nbc -EF`. On the standard LEGO firmware, copy " + file + "\n" +
         "// to the brick instead and draw the file: GraphicOut(0, 0, \"" + file + "\")" + end +
         "\n";
}

// NXC and NBC words an array may not be named.
constexpr std::string_view kReservedWords[] = {
    "asm",      "bool",    "break", "byte",    "case",     "char",     "const",  "continue",
    "default",  "do",      "else",  "enum",    "false",    "float",    "for",    "goto",
    "if",       "inline",  "int",   "long",    "mutex",    "priority", "repeat", "return",
    "safecall", "short",   "start", "static",  "stop",     "string",   "struct", "sub",
    "switch",   "task",    "true",  "typedef", "unsigned", "until",    "void",   "while",
    "dseg",     "segment", "ends",  "thread",  "endt",     "word",     "dword",  "sbyte",
    "sword",    "sdword",  "ubyte", "uword",   "udword",   "exit",     "main"};

}  // namespace

bool IsSourceArrayName(const std::string& name) {
  if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
  for (char ch : name)
    if (!IsAsciiAlnum(ch) && ch != '_') return false;
  return std::find(std::begin(kReservedWords), std::end(kReservedWords), name) ==
         std::end(kReservedWords);
}

std::optional<SourceLanguage> SourceLanguageOfPath(const std::string& path) {
  const std::string ext = LowerExtension(path);
  if (ext == ".nxc") return SourceLanguage::Nxc;
  if (ext == ".nbc") return SourceLanguage::Nbc;
  return std::nullopt;
}

std::string SourceArrayName(const std::string& sourceFileName) {
  std::string name;
  for (char ch : LastPathPart(sourceFileName)) {
    const auto byte = static_cast<unsigned char>(ch);
    if (byte >= 0x80 && byte < 0xC0) continue;  // one '_' for a whole UTF-8 character
    name += IsAsciiAlnum(ch) ? ch : '_';
  }
  if (name.empty() || (name[0] >= '0' && name[0] <= '9')) name = "ric_" + name;
  return name;
}

std::string SourceText(const RICElementList& list, const std::string& sourceFileName,
                       SourceLanguage language, NxcStyle style, const std::string& arrayName) {
  const std::vector<std::uint8_t> bytes = EncodeRic(list);
  if (bytes.size() > kMaxSourceArrayBytes)
    throw TavlinError("", "the picture is " + std::to_string(bytes.size()) +
                              " bytes, but an NXC or NBC array holds at most " +
                              std::to_string(kMaxSourceArrayBytes) +
                              " (its length is a 16-bit number and would wrap around); copy "
                              "the .ric file to the brick and draw it with GraphicOut instead");
  const std::string name = arrayName.empty() ? SourceArrayName(sourceFileName) : arrayName;
  const std::string file = CommentSafe(LastPathPart(sourceFileName));

  if (language == SourceLanguage::Nbc) {
    return Preamble(file, name, "NBC", "") + "dseg segment\n  " + name + " byte[]" +
           (bytes.empty() ? "" : " {" + JoinedBytes(bytes) + "}") + "\ndseg ends\n";
  }

  const std::vector<ByteSpan> pieces = ElementPieces(list, bytes);
  std::vector<ArrayLine> lines;
  for (int i = 0; i < list.Count(); ++i) {
    const TRICElement& e = *list[i];
    const ByteSpan piece = pieces[std::size_t(i)];
    const std::string kind = std::to_string(i + 1) + " " + KindName(e.Kind);
    if (style == NxcStyle::Macros) {
      if (auto text = MacroText(e, piece))
        lines.push_back({false, *text});
      else
        lines.push_back({false, "/* " + kind + " */ " + JoinedBytes(piece)});
      continue;
    }
    lines.push_back({true, "// " + kind});
    for (std::size_t at = 0; at < piece.size(); at += 16)
      lines.push_back(
          {false, JoinedBytes(piece.subspan(at, std::min<std::size_t>(16, piece.size() - at)))});
  }
  // Included twice, the array is still defined once.
  const std::string guard = "TAVLIN_ARRAY_" + name;
  return Preamble(file, name, "NXC", ";") + "#ifndef " + guard + "\n#define " + guard + "\n" +
         NxcArray(name, lines) + "#endif\n";
}

void SaveSource(const std::string& path, const RICElementList& list,
                const std::string& sourceFileName, SourceLanguage language, NxcStyle style,
                const std::string& arrayName) {
  std::string text;
  try {
    text = SourceText(list, sourceFileName, language, style, arrayName);
  } catch (const TavlinError& e) {
    throw TavlinError(path, e.Reason());
  }
  WriteFileAtomic(path, text);
}

}  // namespace tavlin
