#include "CliRender.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <optional>

#include "CliMain.h"
#include "DisplayImage.h"
#include "DocumentIO.h"
#include "FileIO.h"
#include "NXTDisplay.h"
#include "ParameterSet.h"
#include "PngWriter.h"
#include "RICInterpreter.h"

namespace tavlin::cli {

namespace {

constexpr int kMaxZoom = 32;

struct RenderOptions {
  std::string in, out;
  std::vector<std::string> parameterFiles;
  std::vector<std::pair<int, int>> parameters;  // index, value, in command-line order
  int dx = 0, dy = 0;
  int zoom = 1;
  std::optional<long long> element;
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

RenderOptions ParseArguments(const std::vector<std::string>& args) {
  RenderOptions o;
  std::vector<std::string> files;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() < 3 || a.compare(0, 2, "--") != 0) {
      files.push_back(a);
      continue;
    }
    std::string name = a, value;
    if (const std::size_t eq = a.find('='); eq != std::string::npos) {
      name = a.substr(0, eq);
      value = a.substr(eq + 1);
    } else {
      if (i + 1 >= args.size()) throw UsageError{"option " + name + " needs a value"};
      value = args[++i];
    }
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
        throw UsageError{"--param needs N=V with N from 0 to 255 and V from 0 to 65535, not '" +
                         value + "'"};
      o.parameters.emplace_back(int(*n), int(*v));
    } else if (name == "--offset") {
      const std::size_t comma = value.find(',');
      std::optional<long long> dx, dy;
      if (comma != std::string::npos) {
        dx = ParseInRange(value.substr(0, comma), -1000000, 1000000);
        dy = ParseInRange(value.substr(comma + 1), -1000000, 1000000);
      }
      if (!dx || !dy)
        throw UsageError{"--offset needs DX,DY, two whole numbers, not '" + value + "'"};
      o.dx = int(*dx);
      o.dy = int(*dy);
    } else if (name == "--zoom") {
      auto z = ParseInRange(value, 1, kMaxZoom);
      if (!z)
        throw UsageError{"--zoom needs a whole number from 1 to " + std::to_string(kMaxZoom) +
                         ", not '" + value + "'"};
      o.zoom = int(*z);
    } else if (name == "--element") {
      auto k = ParseNumber(value);
      if (!k) throw UsageError{"--element needs an element number, not '" + value + "'"};
      o.element = *k;
    } else {
      throw UsageError{"unknown option '" + name + "'"};
    }
  }
  if (files.size() != 2) throw UsageError{"render needs IN and OUT.png"};
  o.in = files[0];
  o.out = files[1];
  return o;
}

}  // namespace

int CmdRender(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
  const RenderOptions o = ParseArguments(args);

  const RICElementList list = ReadInputDocument(o.in, err);
  TParameterSet parameters{};
  for (const std::string& file : o.parameterFiles) {
    // The editor starts without its parameter file when there is none; a file
    // named on the command line must be there.
    if (!FileExists(file)) throw TavlinError(file, IoErrorText(ENOENT));
    ReadParameterFile(file, parameters);
  }
  for (const auto& [index, value] : o.parameters)
    parameters[std::size_t(index)] = std::uint16_t(value);

  NXTDisplay display;
  if (o.element) {
    // Elements are numbered from 1, as info lists them.
    const long long k = *o.element;
    if (k < 1 || k > list.Count())
      throw TavlinError(o.in, "element " + std::to_string(k) + " is outside the document (" +
                                  std::to_string(list.Count()) + " elements)");
    // As an element page shows it: alone, its arguments resolved at its place.
    const int index = int(k - 1);
    display.ClearDisplay();
    RenderElement(display, *list[index], o.dx, o.dy, -1, list, parameters, index);
  } else {
    RenderDocument(display, o.dx, o.dy, list, parameters);
  }
  WritePngFile(o.out, ScaleDisplay(display, o.zoom));
  return kExitOk;
}

}  // namespace tavlin::cli
