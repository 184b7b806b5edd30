// info, dump and convert: the document as text, as JSON, in the other format
// and as NXC or NBC source.
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <ostream>
#include <sstream>

#include "ArgumentFields.h"
#include "CliMain.h"
#include "DocumentIO.h"
#include "FileIO.h"
#include "QuotedText.h"
#include "RICElement.h"
#include "RicFile.h"
#include "RicScript.h"
#include "SourceExport.h"

namespace tavlin::cli {

namespace {

void ExpectArgs(const std::vector<std::string>& args, std::size_t n, const char* what) {
  if (args.size() != n)
    throw UsageError{std::string(what) + " needs " + std::to_string(n) +
                     (n == 1 ? " file" : " files")};
}

void DumpSpriteRows(const TRICElement& e, std::ostream& out) {
  out << "\"Rows\": [";
  const TRect& a = e.UsedArea;
  if (a.IsSet()) {
    for (int y = a.Top; y <= a.Bottom; ++y) {
      out << (y == a.Top ? "\"" : ", \"");
      for (int x = a.Left; x <= a.Right; ++x)
        out << (SpriteCanvas::Contains(x, y) && e.Canvas.IsBlack(x, y) ? '1' : '0');
      out << '"';
    }
  }
  out << "]";
}

void DumpElement(const TRICElement& e, std::ostream& out) {
  out << "{\"kind\": \"" << KindName(e.Kind) << "\"";
  for (const ArgumentField& field : ArgumentFields(e.Kind))
    out << ", \"" << field.Name << "\": " << e.*field.Member;
  if (e.Kind == RICElementKind::Sprite) {
    const TRect& a = e.UsedArea.IsSet() ? e.UsedArea : kUnsetRect;
    out << ", \"UsedArea\": [" << a.Left << ", " << a.Top << ", " << a.Right << ", " << a.Bottom
        << "], ";
    DumpSpriteRows(e, out);
  } else if (e.Kind == RICElementKind::VarMap) {
    out << ", \"Points\": [";
    for (std::size_t i = 0; i < e.Points.size(); ++i)
      out << (i ? ", [" : "[") << e.Points[i].Domain << ", " << e.Points[i].Range << "]";
    out << "]";
  } else if (e.Kind == RICElementKind::Polygon) {
    // The count word only where it says otherwise than the points.
    if (e.PolygonCount) out << ", \"Count\": " << *e.PolygonCount;
    out << ", \"Points\": [";
    for (std::size_t i = 0; i < e.PolygonPoints.size(); ++i)
      out << (i ? ", [" : "[") << e.PolygonPoints[i].X << ", " << e.PolygonPoints[i].Y << "]";
    out << "]";
  }
  out << "}";
}

}  // namespace

namespace {

struct TypeName {
  FileType type;
  const char* name;
  const char* extension;
};
constexpr TypeName kTypeNames[] = {
    {FileType::Ric, "ric", ".ric"},   {FileType::RicScript, "rs", ".rs"},
    {FileType::Nxc, "nxc", ".nxc"},   {FileType::Nbc, "nbc", ".nbc"},
    {FileType::Png, "png", ".png"},   {FileType::Gif, "gif", ".gif"},
    {FileType::Json, "json", ".json"}};

std::string TypeList(const std::vector<FileType>& allowed) {
  std::string list;
  for (FileType t : allowed)
    for (const TypeName& n : kTypeNames)
      if (n.type == t) list += (list.empty() ? "" : "|") + std::string(n.name);
  return list;
}

// All of standard input, up to `maxBytes`; `longer` tells whether more followed.
std::vector<std::uint8_t> ReadStandardInput(std::size_t maxBytes, bool& longer) {
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[65536];
  longer = false;
  while (true) {
    const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw TavlinError("standard input", IoErrorText(errno));
    if (n == 0) break;
    const std::size_t take = std::min(std::size_t(n), maxBytes - bytes.size());
    bytes.insert(bytes.end(), chunk, chunk + take);
    if (take < std::size_t(n)) {
      longer = true;
      break;
    }
  }
  return bytes;
}

}  // namespace

std::string StreamName(const std::string& path, bool output) {
  if (!IsStandardStream(path)) return path;
  return output ? "standard output" : "standard input";
}

std::optional<FileType> TypeOption(const CommandArgs& args, bool output,
                                   const std::vector<FileType>& allowed) {
  const std::string option = output ? "--to" : "--from";
  std::optional<FileType> type;
  for (const auto& [name, value] : args.options) {
    if (name != option) continue;
    type.reset();
    for (const TypeName& n : kTypeNames)
      if (value == n.name && std::find(allowed.begin(), allowed.end(), n.type) != allowed.end())
        type = n.type;
    if (!type) throw UsageError{option + " is " + TypeList(allowed) + ", not " + QuoteInput(value)};
  }
  return type;
}

FileType OutputType(const std::string& path, std::optional<FileType> named,
                    const std::vector<FileType>& allowed) {
  if (named) return *named;
  if (!IsStandardStream(path)) {
    const std::string extension = LowerExtension(path);
    for (const TypeName& n : kTypeNames)
      if (extension == n.extension &&
          std::find(allowed.begin(), allowed.end(), n.type) != allowed.end())
        return n.type;
    throw UsageError{QuotePath(path) + " does not end in a type: name it with --to " +
                     TypeList(allowed)};
  }
  throw UsageError{"writing standard output needs --to " + TypeList(allowed)};
}

RICElementList ReadInputDocument(const std::string& path, std::ostream& err,
                                 std::optional<FileType> from) {
  std::vector<std::string> notes;
  RICElementList list;
  bool script = false;
  if (IsStandardStream(path)) {
    if (!from) throw UsageError{"reading standard input needs --from ric|rs"};
    script = *from == FileType::RicScript;
    bool longer = false;
    const std::vector<std::uint8_t> bytes =
        ReadStandardInput(script ? kMaxScriptFileBytes : kRicBufferSize, longer);
    if (script) {
      if (longer)
        throw TavlinError("standard input", "the script is longer than " +
                                                std::to_string(kMaxScriptFileBytes) + " bytes");
      // IMPORT pictures are looked up in the current folder.
      list = ParseRicScript(
          std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
          "standard input", &notes);
    } else {
      list = DecodeRic(bytes.data(), bytes.size(), &notes);
      for (std::string& note : notes) note = "standard input: " + note;
      if (longer)
        notes.push_back("standard input: the file is longer than " +
                        std::to_string(kRicBufferSize) + " bytes; the rest was not read");
    }
  } else if (from) {
    script = *from == FileType::RicScript;
    list = script ? LoadRicScript(path, &notes) : LoadRicFile(path, &notes);
  } else {
    script = FormatOfPath(path) == DocumentFormat::RicScript;
    list = LoadDocument(path, &notes);
  }
  // Where a script stopped early the document is not what its text says, so
  // no command goes on with it; a damaged RIC file is read as far as it goes,
  // and rows cut to the canvas are told of.
  if (script)
    for (const std::string& note : notes)
      if (note.ends_with(kScriptStopNoteEnd)) throw TavlinError("", note);
  for (const std::string& note : notes) err << "tavlin-cli: " << note << "\n";
  return list;
}

void WriteOutput(const std::string& path, std::ostream& out, const std::string& bytes) {
  if (IsStandardStream(path))
    out.write(bytes.data(), std::streamsize(bytes.size()));
  else
    WriteFileAtomic(path, bytes);
}

int CmdInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const CommandArgs split = SplitArguments(args, {{"--from"}});
  ExpectArgs(split.files, 1, "info");
  const auto from = TypeOption(split, false, {FileType::Ric, FileType::RicScript});
  RICElementList list = ReadInputDocument(split.files[0], err, from);
  out << "Elements: " << list.Count() << "\n";
  out << "File size: " << DocumentFileSize(split.files[0], list) << "\n";
  int step = 1;
  for (const auto& e : list) {
    out << step++ << " " << KindName(e->Kind);
    for (const ElementItem& item : ElementItems(*e))
      out << "  " << item.Label << ": " << item.Value;
    out << "\n";
  }
  return kExitOk;
}

namespace {

// `fileSize` is the size of the document's RIC file (DocumentFileSize).
std::string DumpText(const RICElementList& list, std::uint64_t fileSize) {
  std::ostringstream out;
  out << "{\"fileSize\": " << fileSize << ", \"elements\": [";
  bool first = true;
  for (const auto& e : list) {
    out << (first ? "\n  " : ",\n  ");
    first = false;
    DumpElement(*e, out);
  }
  out << (first ? "]}\n" : "\n]}\n");
  return out.str();
}

}  // namespace

int CmdDump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const CommandArgs split = SplitArguments(args, {{"--from"}});
  ExpectArgs(split.files, 1, "dump");
  const auto from = TypeOption(split, false, {FileType::Ric, FileType::RicScript});
  const RICElementList list = ReadInputDocument(split.files[0], err, from);
  out << DumpText(list, IsStandardStream(split.files[0]) ? ComputeFileSize(list)
                                                         : DocumentFileSize(split.files[0], list));
  return kExitOk;
}

int CmdConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const CommandArgs split = SplitArguments(args, {{"--style"}, {"--name"}, {"--from"}, {"--to"}});
  const std::vector<std::string>& files = split.files;
  std::optional<NxcStyle> style;
  std::optional<std::string> arrayName;
  for (const auto& [name, value] : split.options) {
    if (name == "--name") {
      if (!IsSourceArrayName(value))
        throw UsageError{
            "--name needs an identifier of letters, digits and _ that does not start with a "
            "digit and is no NXC or NBC word, not " +
            QuoteInput(value)};
      arrayName = value;
    } else if (name == "--style") {
      if (value != "macros" && value != "bytes")
        throw UsageError{"--style is macros or bytes, not " + QuoteInput(value)};
      style = value == "bytes" ? NxcStyle::Bytes : NxcStyle::Macros;
    }
  }
  ExpectArgs(files, 2, "convert");
  const auto from = TypeOption(split, false, {FileType::Ric, FileType::RicScript});
  const std::vector<FileType> outputs = {FileType::Ric, FileType::RicScript, FileType::Nxc,
                                         FileType::Nbc, FileType::Json};
  if (!from && !IsStandardStream(files[0]) && FormatOfPath(files[0]) == DocumentFormat::Unknown)
    throw UsageError{QuotePath(files[0]) +
                     " is neither a .ric nor a .rs file (name its type with --from ric|rs)"};
  const FileType type = OutputType(files[1], TypeOption(split, true, outputs), outputs);
  const bool source = type == FileType::Nxc || type == FileType::Nbc;
  if (style && type != FileType::Nxc) throw UsageError{"--style is for NXC output only"};
  if (arrayName && !source) throw UsageError{"--name is for NXC or NBC output only"};
  RICElementList list = ReadInputDocument(files[0], err, from);
  // The name the array and the comments take after: the input's, or "picture.ric" for a pipe.
  const std::string inName = IsStandardStream(files[0]) ? "picture.ric" : files[0];
  const std::string outName = StreamName(files[1], true);
  std::string bytes;
  try {
    switch (type) {
      case FileType::Ric: {
        const std::vector<std::uint8_t> ric = EncodeRic(list);
        bytes.assign(ric.begin(), ric.end());
        break;
      }
      case FileType::RicScript:
        bytes = RicScriptText(list);
        break;
      case FileType::Json:
        bytes = DumpText(list, IsStandardStream(files[0]) ? ComputeFileSize(list)
                                                          : DocumentFileSize(files[0], list));
        break;
      default:
        bytes = SourceText(list, inName,
                           type == FileType::Nxc ? SourceLanguage::Nxc : SourceLanguage::Nbc,
                           style.value_or(NxcStyle::Macros), arrayName.value_or(""));
        break;
    }
  } catch (const TavlinError& e) {
    throw TavlinError(outName, e.Reason());
  }
  if (!IsStandardStream(files[1]))
    RefuseReplacingOtherContent(files[1],
                                type == FileType::Ric ? ContentKind::Ric : ContentKind::Text);
  WriteOutput(files[1], out, bytes);
  return kExitOk;
}

}  // namespace tavlin::cli
