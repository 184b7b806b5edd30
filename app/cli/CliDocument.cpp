// info, dump and convert: the document as text, as JSON, in the other format
// and as NXC or NBC source.
#include <optional>
#include <ostream>

#include "ArgumentFields.h"
#include "CliMain.h"
#include "DocumentIO.h"
#include "FileIO.h"
#include "QuotedText.h"
#include "RICElement.h"
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

RICElementList ReadInputDocument(const std::string& path, std::ostream& err) {
  std::vector<std::string> notes;
  RICElementList list = LoadDocument(path, &notes);
  // Where a script stopped early the document is not what its text says, so
  // no command goes on with it; a damaged RIC file is read as far as it goes.
  if (FormatOfPath(path) == DocumentFormat::RicScript && !notes.empty())
    throw TavlinError("", notes.front());
  for (const std::string& note : notes) err << "tavlin-cli: " << note << "\n";
  return list;
}

int CmdInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const std::vector<std::string> files = SplitArguments(args, {}).files;
  ExpectArgs(files, 1, "info");
  RICElementList list = ReadInputDocument(files[0], err);
  out << "Elements: " << list.Count() << "\n";
  out << "File size: " << DocumentFileSize(files[0], list) << "\n";
  int step = 1;
  for (const auto& e : list) {
    out << step++ << " " << KindName(e->Kind);
    for (const ElementItem& item : ElementItems(*e))
      out << "  " << item.Label << ": " << item.Value;
    out << "\n";
  }
  return kExitOk;
}

int CmdDump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const std::vector<std::string> files = SplitArguments(args, {}).files;
  ExpectArgs(files, 1, "dump");
  RICElementList list = ReadInputDocument(files[0], err);
  out << "{\"fileSize\": " << DocumentFileSize(files[0], list) << ", \"elements\": [";
  bool first = true;
  for (const auto& e : list) {
    out << (first ? "\n  " : ",\n  ");
    first = false;
    DumpElement(*e, out);
  }
  out << (first ? "]}\n" : "\n]}\n");
  return kExitOk;
}

int CmdConvert(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
  const CommandArgs split = SplitArguments(args, {{"--style"}});
  const std::vector<std::string>& files = split.files;
  std::optional<NxcStyle> style;
  for (const auto& [name, value] : split.options) {
    if (name != "--style") continue;
    if (value != "macros" && value != "bytes")
      throw UsageError{"--style is macros or bytes, not " + QuoteInput(value)};
    style = value == "bytes" ? NxcStyle::Bytes : NxcStyle::Macros;
  }
  ExpectArgs(files, 2, "convert");
  const std::optional<SourceLanguage> source = SourceLanguageOfPath(files[1]);
  if (FormatOfPath(files[0]) == DocumentFormat::Unknown)
    throw UsageError{QuoteInput(files[0], kQuotedPathLength) + " is neither a .ric nor a .rs file"};
  if (!source && FormatOfPath(files[1]) == DocumentFormat::Unknown)
    throw UsageError{QuoteInput(files[1], kQuotedPathLength) +
                     " is not a .ric, .rs, .nxc or .nbc file"};
  if (style && source != SourceLanguage::Nxc) throw UsageError{"--style is for .nxc output only"};
  RICElementList list = ReadInputDocument(files[0], err);
  if (source)
    SaveSource(files[1], list, files[0], *source, style.value_or(NxcStyle::Macros));
  else
    SaveDocument(files[1], list);
  return kExitOk;
}

}  // namespace tavlin::cli
