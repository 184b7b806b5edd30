#include "CliMain.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <new>

#include "CliCheck.h"
#include "CliRender.h"
#include "FileIO.h"
#include "QuotedText.h"
#include "Version.h"

namespace tavlin::cli {

namespace {

const char* const kUsage =
    "Usage: tavlin-cli info FILE\n"
    "       tavlin-cli dump FILE\n"
    "       tavlin-cli convert IN OUT [--style macros|bytes] [--name IDENT] [--from T] [--to T]\n"
    "       tavlin-cli render IN OUT.png|OUT.gif [OPTION]...\n"
    "       tavlin-cli check FILE [--brick VARIANT] [--param-count N] [--brick-source S]\n"
    "       tavlin-cli COMMAND --help\n"
    "       tavlin-cli --help | --version\n";

const char* const kHelp =
    "\n"
    "Describes, converts and renders RIC files, the pictures of the LEGO MINDSTORMS NXT\n"
    "display. FILE and IN are read as RIC (.ric) or RicScript (.rs) by their extension.\n"
    "A file named - is standard input or standard output; --from ric|rs and\n"
    "--to ric|rs|nxc|nbc|png|gif|json name the type where no extension tells it.\n"
    "\n"
    "Commands:\n"
    "  info     the element count, the file size and one line per element\n"
    "  dump     the document as JSON\n"
    "  convert  the document in the format OUT's extension names (.ric, .rs, .nxc, .nbc,\n"
    "           .json)\n"
    "  render   the NXT display showing the document, as a PNG picture, or a parameter\n"
    "           sweep as an animated GIF or numbered PNG frames; with --brick, as an NXT\n"
    "           firmware draws it\n"
    "  check    what the NXT brick will draw differently from what the picture means\n"
    "\n"
    "Options:\n"
    "  -h, --help     print this help and exit\n"
    "  -V, --version  print the version and exit\n"
    "\n"
    "'tavlin-cli COMMAND --help' prints the command's own options.\n";

using Command = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);

// A command, its usage line, what it does and its own options for `COMMAND --help`.
struct CommandInfo {
  Command run;
  const char* usage;
  const char* help;
  const char* options = "";
};

const std::map<std::string, CommandInfo>& Commands() {
  static const std::map<std::string, CommandInfo> commands = {
      {"info",
       {CmdInfo, "info FILE [--from ric|rs]",
        "Prints the element count, the file size and one line per element, numbered from 1.\n",
        "      --from T           the input's type where its name does not tell it: ric or rs\n"}},
      {"dump",
       {CmdDump, "dump FILE [--from ric|rs]", "Prints the document as JSON on standard output.\n",
        "      --from T           the input's type where its name does not tell it: ric or rs\n"}},
      {"convert",
       {CmdConvert, "convert IN OUT [--style macros|bytes] [--name IDENT] [--from T] [--to T]",
        "Writes the document IN in the format that OUT's extension names: .ric, .rs, .json, or\n"
        "NXC (.nxc) or NBC (.nbc) source holding the RIC bytes as an array named after IN.\n"
        "A program draws the array with GraphicArrayOut, which needs the enhanced firmware\n"
        "(nbc -EF); on the standard firmware, copy the .ric file to the brick and draw it\n"
        "with GraphicOut. An array holds at most 65535 bytes.\n",
        "      --style S          NXC source as RIC macros (macros, the default) or bytes\n"
        "      --name IDENT       the array's name (default: IN's file name, as letters_ric)\n"
        "      --from T           the input's type where its name does not tell it: ric or rs\n"
        "      --to T             OUT's type where its name does not tell it: ric, rs, nxc,\n"
        "                         nbc or json\n"}},
      {"render",
       {CmdRender, "render IN OUT.png|OUT.gif [OPTION]...",
        "Draws the document IN on the NXT display and writes the display as a PNG picture.\n"
        "All parameters start at 0; the parameter files apply first, then each --param.\n"
        "With --sweep, one frame per step: an animated GIF for OUT.gif, numbered\n"
        "OUT-0001.png ... for OUT.png. Sweeps run together; a shorter one holds its last value.\n",
        "      --params FILE.rpa  apply a parameter file; repeatable\n"
        "      --param N=V        set parameter N (0 to 255) to V (0 to 65535); repeatable\n"
        "      --offset DX,DY     move the picture by DX, DY pixels (default 0,0)\n"
        "      --zoom Z           draw each pixel as Z x Z pixels (1 to 32, default 1)\n"
        "      --element K        draw element K alone (numbered from 1)\n"
        "      --sweep N=FROM..TO[:STEP]  step parameter N from FROM to TO; repeatable\n"
        "      --fps F            frames per second of the GIF (1 to 50, default 10)\n"
        "      --brick VARIANT    draw as the NXT firmware does: lego, enhanced131 or\n"
        "                         enhanced132; --offset is then the picture position\n"
        "      --param-count N    with --brick: how many parameters the program passes\n"
        "                         (0 to 256, 0 for none; default 16 for lego, 256 otherwise)\n"
        "      --options N        with --brick: the draw options (default 1, clear the screen)\n"
        "      --text S           with --brick: the text a font picture draws\n"
        "      --brick-source S   with --brick: the picture drawn from a .ric file on the\n"
        "                         brick (file, the default: GraphicOut) or from a program's\n"
        "                         array (array: GraphicArrayOut)\n"
        "      --from T           the input's type where its name does not tell it: ric or rs\n"
        "      --to T             OUT's type where its name does not tell it: png or gif\n"}},
      {"check",
       {CmdCheck, "check FILE [--brick VARIANT] [--param-count N] [--brick-source S] [--from T]",
        "Lists what the NXT brick will draw differently from what the picture probably\n"
        "means, one line per element and problem: 'FILE: element N: text'. Exits with 1\n"
        "when it finds any, 0 when none. The parameters passed are all 0.\n",
        "      --brick VARIANT    the firmware: lego, enhanced131 or enhanced132 (the default)\n"
        "      --param-count N    how many parameters the program passes (0 to 256, 0 for\n"
        "                         none; default 16 for lego, 256 otherwise)\n"
        "      --brick-source S   drawn from a .ric file on the brick (file, the default)\n"
        "                         or from a program's array (array)\n"
        "      --from T           the input's type where its name does not tell it: ric or rs\n"}},
  };
  return commands;
}

void PrintCommandHelp(const CommandInfo& command, std::ostream& out) {
  out << "Usage: tavlin-cli " << command.usage << "\n"
      << command.help << "\nOptions:\n"
      << command.options << "  -h, --help             print this help and exit\n";
}

bool IsHelp(const std::string& arg) { return arg == "--help" || arg == "-h"; }

// Help that could not be written (a full disk, a closed pipe) is a failure, as any output.
int Written(std::ostream& out, std::ostream& err) {
  errno = 0;
  if (out.flush()) return kExitOk;
  err << "tavlin-cli: standard output: " << IoErrorText(OutputError(out)) << "\n";
  return kExitFailure;
}

}  // namespace

FdOutputBuffer::FdOutputBuffer(int fd) : fd_(fd) {
  setp(buffer_.data(), buffer_.data() + buffer_.size());
}

FdOutputBuffer::~FdOutputBuffer() { Drain(); }

bool FdOutputBuffer::Drain() {
  const char* p = pbase();
  while (p < pptr() && error_ == 0) {
    const ssize_t n = ::write(fd_, p, std::size_t(pptr() - p));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) error_ = errno;
    if (n > 0) p += n;
  }
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  return error_ == 0;
}

FdOutputBuffer::int_type FdOutputBuffer::overflow(int_type c) {
  if (!Drain()) return traits_type::eof();
  if (!traits_type::eq_int_type(c, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
  }
  return traits_type::not_eof(c);
}

int FdOutputBuffer::sync() { return Drain() ? 0 : -1; }

int OutputError(const std::ostream& out) {
  if (const auto* own = dynamic_cast<const FdOutputBuffer*>(out.rdbuf()); own && own->Error())
    return own->Error();
  return errno ? errno : EIO;
}

BrickVariant ParseBrickVariantOption(const std::string& value) {
  if (auto v = ParseBrickVariant(value)) return *v;
  throw UsageError{"--brick needs lego, enhanced131 or enhanced132, not " + QuoteInput(value)};
}

BrickSource ParseBrickSourceOption(const std::string& value) {
  if (auto s = ParseBrickSource(value)) return *s;
  throw UsageError{"--brick-source needs file or array, not " + QuoteInput(value)};
}

long long ParseParameterCount(const std::string& value) {
  const bool digits = !value.empty() && value.size() <= 3 &&
                      value.find_first_not_of("0123456789") == std::string::npos;
  if (!digits || std::stoi(value) > 256)
    throw UsageError{"--param-count needs a whole number from 0 to 256, not " + QuoteInput(value)};
  return std::stoi(value);
}

int DefaultParameterCount(BrickVariant variant) { return variant == BrickVariant::Lego ? 16 : 256; }

CommandArgs SplitArguments(const std::vector<std::string>& args,
                           const std::vector<OptionSpec>& known) {
  CommandArgs split;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--") {
      split.files.insert(split.files.end(), args.begin() + long(i) + 1, args.end());
      break;
    }
    if (a.size() < 3 || a.compare(0, 2, "--") != 0) {
      split.files.push_back(a);
      continue;
    }
    const std::size_t eq = a.find('=');
    const std::string name = a.substr(0, eq);
    const auto option = std::find_if(known.begin(), known.end(),
                                     [&](const OptionSpec& o) { return name == o.name; });
    if (option == known.end()) throw UsageError{"unknown option " + QuoteInput(name)};
    std::string value;
    if (eq != std::string::npos) {
      if (!option->takesValue) throw UsageError{"option " + name + " takes no value"};
      value = a.substr(eq + 1);
    } else if (option->takesValue) {
      if (i + 1 >= args.size()) throw UsageError{"option " + name + " needs a value"};
      value = args[++i];
    }
    split.options.emplace_back(name, std::move(value));
  }
  return split;
}

int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err) {
  if (argc < 2) {
    err << kUsage;
    return kExitUsage;
  }
  std::string name = argv[1];
  if (name == "--version" || name == "-V") {
    out << "tavlin-cli " << kVersion << "\n";
    return Written(out, err);
  }
  // `help COMMAND` is `COMMAND --help`.
  if (name == "help" && argc > 2 && Commands().count(argv[2])) {
    PrintCommandHelp(Commands().at(argv[2]), out);
    return Written(out, err);
  }
  if (IsHelp(name) || name == "help") {
    out << kUsage << kHelp;
    return Written(out, err);
  }
  auto it = Commands().find(name);
  if (it == Commands().end()) {
    err << "tavlin-cli: unknown command " << QuoteInput(name) << "\n" << kUsage;
    return kExitUsage;
  }
  std::vector<std::string> args(argv + 2, argv + argc);
  // After "--" even "--help" names a file.
  const auto endOfOptions = std::find(args.begin(), args.end(), "--");
  if (std::find(args.begin(), endOfOptions, "--help") != endOfOptions) {
    PrintCommandHelp(it->second, out);
    return Written(out, err);
  }
  try {
    TakeWriteWarnings();  // only what this command writes
    int code = it->second.run(args, out, err);
    for (const std::string& warning : TakeWriteWarnings()) err << "tavlin-cli: " << warning << "\n";
    // Output that could not be written (a full disk, a closed pipe) is a failure, not a success.
    errno = 0;
    if (!out.flush()) throw TavlinError("standard output", IoErrorText(OutputError(out)));
    return code;
  } catch (const UsageError& e) {
    err << "tavlin-cli: " << e.message << "\n" << kUsage;
    return kExitUsage;
  } catch (const TavlinError& e) {
    err << "tavlin-cli: " << e.what() << "\n";
  } catch (const std::bad_alloc&) {
    err << "tavlin-cli: out of memory\n";
  } catch (const std::exception& e) {
    err << "tavlin-cli: " << e.what() << "\n";
  }
  return kExitFailure;
}

}  // namespace tavlin::cli
