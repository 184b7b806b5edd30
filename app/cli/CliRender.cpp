#include "CliRender.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "CliMain.h"
#include "DisplayImage.h"
#include "DocumentIO.h"
#include "FileIO.h"
#include "FrameRenderer.h"
#include "GifWriter.h"
#include "NXTDisplay.h"
#include "ParameterFile.h"
#include "ParameterSweep.h"
#include "PngWriter.h"
#include "QuotedText.h"
#include "RICInterpreter.h"
#include "RicFile.h"

namespace tavlin::cli {

namespace {

constexpr int kMaxZoom = 32;
constexpr int kMaxFps = 50;
constexpr int kDefaultFps = 10;

struct RenderOptions {
  std::string in, out;
  std::optional<FileType> from;
  FileType type = FileType::Png;  // what OUT is: a PNG picture or an animated GIF
  std::vector<std::string> parameterFiles;
  std::vector<std::pair<int, int>> parameters;  // index, value, in command-line order
  int dx = 0, dy = 0;
  int zoom = 1;
  std::optional<long long> element;
  std::vector<ParameterSweep> sweeps;
  int fps = kDefaultFps;
  // As an NXT firmware draws it: the variant, and what the drawing call passes.
  std::optional<BrickVariant> brick;
  std::optional<long long> parameterCount;
  std::optional<long long> drawOptions;
  std::optional<std::string> text;
  std::optional<BrickSource> source;
};

// A whole decimal integer (optionally signed), or 0x-prefixed hexadecimal.
std::optional<long long> ParseNumber(const std::string& text) {
  if (text.empty() || text.size() > 20) return std::nullopt;
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(begin, &end, hex ? 16 : 10);
  if (errno != 0 || end != begin + text.size() || std::isspace((unsigned char)text[0]))
    return std::nullopt;
  return v;
}

std::optional<long long> ParseInRange(const std::string& text, long long low, long long high) {
  auto v = ParseNumber(text);
  if (!v || *v < low || *v > high) return std::nullopt;
  return v;
}

// N=FROM..TO[:STEP]. STEP is the distance between frames; the range runs
// from FROM towards TO whatever its sign, but a negative STEP on a rising
// range is taken for a mistake.
ParameterSweep ParseSweep(const std::string& text) {
  const auto fail = [&](const std::string& why) -> UsageError {
    return UsageError{"--sweep needs N=FROM..TO[:STEP]" + why + ", not " + QuoteInput(text)};
  };
  const std::string ranges = " (N 0..255, FROM and TO 0..65535, STEP not 0)";
  const std::size_t eq = text.find('=');
  const std::size_t dots = text.find("..", eq == std::string::npos ? 0 : eq);
  if (eq == std::string::npos || dots == std::string::npos) throw fail(ranges);
  const std::size_t colon = text.find(':', dots);
  const auto n = ParseInRange(text.substr(0, eq), 0, 255);
  const auto from = ParseInRange(text.substr(eq + 1, dots - eq - 1), 0, 65535);
  const auto to = ParseInRange(
      text.substr(dots + 2, colon == std::string::npos ? std::string::npos : colon - dots - 2), 0,
      65535);
  std::optional<long long> step = 1;
  if (colon != std::string::npos) step = ParseInRange(text.substr(colon + 1), -65535, 65535);
  if (!n || !from || !to || !step || *step == 0) throw fail(ranges);
  if (*step < 0 && *to > *from) throw fail(" (a negative STEP needs FROM above TO)");
  return ParameterSweep{int(*n), int(*from), int(*to), int(*step < 0 ? -*step : *step)};
}

// The options of render, each taking a value; each is handled by name below.
const std::vector<OptionSpec> kRenderOptions = {
    {"--params"},        // FILE.rpa
    {"--param"},         // N=V
    {"--offset"},        // DX,DY
    {"--zoom"},          // Z
    {"--sweep"},         // N=FROM..TO[:STEP]
    {"--fps"},           // F
    {"--element"},       // K
    {"--brick"},         // lego|enhanced131|enhanced132
    {"--param-count"},   // N
    {"--options"},       // N
    {"--text"},          // STRING
    {"--from"},          // ric|rs
    {"--to"},            // png|gif
    {"--brick-source"},  // file|array
};

RenderOptions ParseArguments(const std::vector<std::string>& args) {
  RenderOptions o;
  const CommandArgs split = SplitArguments(args, kRenderOptions);
  for (const auto& [name, value] : split.options) {
    if (name == "--params") {
      if (value.empty()) throw UsageError{"--params needs a file"};
      o.parameterFiles.push_back(value);
    } else if (name == "--param") {
      const std::size_t eq = value.find('=');
      std::optional<long long> n, v;
      if (eq != std::string::npos) {
        n = ParseInRange(value.substr(0, eq), 0, 255);
        v = ParseInRange(value.substr(eq + 1), 0, 65535);
      }
      if (!n || !v)
        throw UsageError{"--param needs N=V with N from 0 to 255 and V from 0 to 65535, not " +
                         QuoteInput(value)};
      o.parameters.emplace_back(int(*n), int(*v));
    } else if (name == "--offset") {
      const std::size_t comma = value.find(',');
      std::optional<long long> dx, dy;
      if (comma != std::string::npos) {
        dx = ParseInRange(value.substr(0, comma), -1000000, 1000000);
        dy = ParseInRange(value.substr(comma + 1), -1000000, 1000000);
      }
      if (!dx || !dy)
        throw UsageError{"--offset needs DX,DY, two whole numbers, not " + QuoteInput(value)};
      o.dx = int(*dx);
      o.dy = int(*dy);
    } else if (name == "--zoom") {
      auto z = ParseInRange(value, 1, kMaxZoom);
      if (!z)
        throw UsageError{"--zoom needs a whole number from 1 to " + std::to_string(kMaxZoom) +
                         ", not " + QuoteInput(value)};
      o.zoom = int(*z);
    } else if (name == "--sweep") {
      o.sweeps.push_back(ParseSweep(value));
      for (std::size_t k = 0; k + 1 < o.sweeps.size(); ++k)
        if (o.sweeps[k].Parameter == o.sweeps.back().Parameter)
          throw UsageError{"--sweep: parameter " + std::to_string(o.sweeps.back().Parameter) +
                           " is swept twice"};
    } else if (name == "--fps") {
      auto f = ParseInRange(value, 1, kMaxFps);
      if (!f)
        throw UsageError{"--fps needs a whole number from 1 to " + std::to_string(kMaxFps) +
                         ", not " + QuoteInput(value)};
      o.fps = int(*f);
    } else if (name == "--element") {
      auto k = ParseNumber(value);
      if (!k) throw UsageError{"--element needs an element number, not " + QuoteInput(value)};
      o.element = *k;
    } else if (name == "--brick") {
      o.brick = ParseBrickVariantOption(value);
    } else if (name == "--param-count") {
      o.parameterCount = ParseParameterCount(value);
    } else if (name == "--options") {
      o.drawOptions = ParseInRange(value, 0, 0xFFFFFFFFLL);
      if (!o.drawOptions)
        throw UsageError{"--options needs a whole number from 0 to 4294967295, not " +
                         QuoteInput(value)};
    } else if (name == "--text") {
      o.text = value;
    } else if (name == "--brick-source") {
      o.source = ParseBrickSourceOption(value);
    }
  }
  if (!o.brick && (o.parameterCount || o.drawOptions || o.text || o.source))
    throw UsageError{"--param-count, --options, --text and --brick-source need --brick"};
  if (o.brick && o.element) throw UsageError{"--element cannot be used with --brick"};
  const std::vector<std::string>& files = split.files;
  if (files.size() != 2) throw UsageError{"render needs IN and OUT.png or OUT.gif"};
  o.in = files[0];
  o.out = files[1];
  o.from = TypeOption(split, false, {FileType::Ric, FileType::RicScript});
  // Only a name that says what is written, or --to: "render ok.ric clobber.ric"
  // would put a picture where a RIC file was.
  const std::optional<FileType> to = TypeOption(split, true, {FileType::Png, FileType::Gif});
  if (!to && !IsStandardStream(o.out)) {
    const std::string extension = LowerExtension(o.out);
    if (o.sweeps.empty() && extension != ".png")
      throw UsageError{"render writes a PNG picture: OUT must end in .png, not " +
                       QuotePath(o.out)};
    if (!o.sweeps.empty() && extension != ".png" && extension != ".gif")
      throw UsageError{
          "a sweep writes an animated GIF or numbered PNG pictures: OUT must end in "
          ".gif or .png, not " +
          QuotePath(o.out)};
  }
  o.type = OutputType(o.out, to, {FileType::Png, FileType::Gif});
  if (o.type == FileType::Png && !o.sweeps.empty() && IsStandardStream(o.out))
    throw UsageError{"a sweep's numbered PNG pictures cannot go to standard output: use --to gif"};
  return o;
}

// OUT.png -> OUT-0001.png, OUT-0002.png, ...: the picture of a frame.
std::string FramePath(const std::string& out, int frame) {
  const std::string extension = std::filesystem::path(out).extension().string();
  char number[16];
  std::snprintf(number, sizeof number, "-%04d", frame + 1);
  return out.substr(0, out.size() - extension.size()) + number + extension;
}

// One picture per frame, put in place together once all are written, so that
// a failure keeps the old ones.
void WriteNumberedPngs(const std::string& out, int frames, const FrameRenderFn& render, int zoom) {
  for (int frame = 0; frame < frames; ++frame)
    RefuseReplacingOtherContent(FramePath(out, frame), ContentKind::Png);
  FileGroupWriter writer;
  RenderFramesInOrder(frames, render, [&](int frame, const NXTDisplay& display) {
    const std::string path = FramePath(out, frame);
    std::vector<std::uint8_t> bytes;
    try {
      bytes = EncodePng(ScaleDisplay(display, zoom));
    } catch (const TavlinError& e) {
      throw TavlinError(path, e.Reason());
    }
    writer.Add(path, bytes.data(), bytes.size());
  });
  writer.Commit();
}

}  // namespace

int CmdRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const RenderOptions o = ParseArguments(args);

  const RICElementList list = ReadInputDocument(o.in, err, o.from);
  TParameterSet parameters{};
  for (const std::string& file : o.parameterFiles) {
    // The editor starts without its parameter file when there is none; a file
    // named on the command line must be there.
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec)) throw TavlinError(file, IoErrorText(EISDIR));
    if (!FileExists(file)) throw TavlinError(file, IoErrorText(ENOENT));
    ReadParameterFile(file, parameters);
  }
  for (const auto& [index, value] : o.parameters)
    parameters[std::size_t(index)] = std::uint16_t(value);

  // Elements are numbered from 1, as info lists them.
  int index = -1;
  if (o.element) {
    const long long k = *o.element;
    if (k < 1 || k > list.Count())
      throw TavlinError(o.in, "element " + std::to_string(k) + " is outside the document (" +
                                  std::to_string(list.Count()) + " elements)");
    index = int(k - 1);
  }
  // As the brick gets it: the bytes the document is written as.
  std::vector<std::uint8_t> bytes;
  BrickCall call;
  if (o.brick) {
    bytes = EncodeRic(list);
    call.Variant = *o.brick;
    call.X = o.dx;
    call.Y = o.dy;
    if (o.drawOptions) call.Options = std::uint32_t(*o.drawOptions);
    call.Source = o.source.value_or(BrickSource::File);
  }
  // Called on several threads at once: each frame has parameters of its own.
  const FrameRenderFn renderFrame = [&](int frame, NXTDisplay& display) {
    TParameterSet values = parameters;
    ApplySweeps(o.sweeps, frame, values);
    if (o.brick) {
      BrickCall frameCall = call;
      if (o.text) {
        // A font picture's text: one character code per value, ended by 0.
        for (unsigned char c : *o.text) frameCall.Parameters.push_back(c);
        frameCall.Parameters.push_back(0);
      } else {
        const long long n = o.parameterCount ? *o.parameterCount : DefaultParameterCount(*o.brick);
        frameCall.Parameters.assign(values.begin(), values.begin() + n);
      }
      RenderBrick(display, bytes.data(), bytes.size(), frameCall);
    } else if (index >= 0) {
      // As an element page shows it: alone, its arguments resolved at its place.
      display.ClearDisplay();
      RenderElement(display, *list[index], o.dx, o.dy, -1, list, values, index);
    } else {
      RenderDocument(display, o.dx, o.dy, list, values);
    }
  };

  const int frames = SweepFrameCount(o.sweeps);
  const bool gif = o.type == FileType::Gif;
  if (!IsStandardStream(o.out) && (gif || o.sweeps.empty()))
    RefuseReplacingOtherContent(o.out, gif ? ContentKind::Gif : ContentKind::Png);
  if (gif) {
    GifAnimationWriter gif(o.zoom, GifDelayForFps(o.fps));
    RenderFramesInOrder(frames, renderFrame,
                        [&](int, const NXTDisplay& display) { gif.AddFrame(display); });
    if (IsStandardStream(o.out)) {
      const std::vector<std::uint8_t> bytes = gif.Finish();
      WriteOutput(o.out, out, std::string(bytes.begin(), bytes.end()));
    } else {
      WriteGifFile(o.out, gif);
    }
  } else if (o.sweeps.empty()) {
    NXTDisplay display;
    renderFrame(0, display);
    if (IsStandardStream(o.out)) {
      const std::vector<std::uint8_t> bytes = EncodePng(ScaleDisplay(display, o.zoom));
      WriteOutput(o.out, out, std::string(bytes.begin(), bytes.end()));
    } else {
      WritePngFile(o.out, ScaleDisplay(display, o.zoom));
    }
  } else {
    WriteNumberedPngs(o.out, frames, renderFrame, o.zoom);
  }
  return kExitOk;
}

}  // namespace tavlin::cli
