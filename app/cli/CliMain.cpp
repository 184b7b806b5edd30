#include "CliMain.h"

#include <algorithm>
#include <cerrno>
#include <map>
#include <new>

#include "CliRender.h"
#include "FileIO.h"
#include "QuotedText.h"

namespace tavlin::cli {

namespace {

const char* const kUsage =
    "Usage: tavlin-cli info FILE\n"
    "       tavlin-cli dump FILE\n"
    "       tavlin-cli convert IN OUT [--style macros|bytes]\n"
    "       tavlin-cli render IN OUT.png|OUT.gif [OPTION]...\n"
    "       tavlin-cli COMMAND --help\n"
    "       tavlin-cli --help | --version\n";

const char* const kHelp =
    "\n"
    "Describes, converts and renders RIC files, the pictures of the LEGO MINDSTORMS NXT\n"
    "display. FILE and IN are read as RIC (.ric) or RicScript (.rs) by their extension.\n"
    "\n"
    "Commands:\n"
    "  info     the element count, the file size and one line per element\n"
    "  dump     the document as JSON\n"
    "  convert  the document in the format OUT's extension names (.ric, .rs, .nxc, .nbc)\n"
    "  render   the NXT display showing the document, as a PNG picture, or a parameter\n"
    "           sweep as an animated GIF or numbered PNG frames\n"
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
       {CmdInfo, "info FILE",
        "Prints the element count, the file size and one line per element, numbered from 1.\n"}},
      {"dump", {CmdDump, "dump FILE", "Prints the document as JSON on standard output.\n"}},
      {"convert",
       {CmdConvert, "convert IN OUT [--style macros|bytes]",
        "Writes the document IN in the format that OUT's extension names: .ric, .rs, or\n"
        "NXC (.nxc) or NBC (.nbc) source holding the RIC bytes as an array named after IN.\n",
        "      --style S          NXC source as RIC macros (macros, the default) or bytes\n"}},
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
        "      --fps F            frames per second of the GIF (1 to 50, default 10)\n"}},
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
  err << "tavlin-cli: standard output: " << IoErrorText(errno ? errno : EIO) << "\n";
  return kExitFailure;
}

}  // namespace

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
    const auto spec = std::find_if(known.begin(), known.end(),
                                   [&](const OptionSpec& o) { return name == o.name; });
    if (spec == known.end()) throw UsageError{"unknown option " + QuoteInput(name)};
    std::string value;
    if (eq != std::string::npos) {
      if (!spec->takesValue) throw UsageError{"option " + name + " takes no value"};
      value = a.substr(eq + 1);
    } else if (spec->takesValue) {
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
    out << "tavlin-cli " TAVLIN_VERSION "\n";
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
    int code = it->second.run(args, out, err);
    // Output that could not be written (a full disk, a closed pipe) is a failure, not a success.
    errno = 0;
    if (!out.flush()) throw TavlinError("standard output", IoErrorText(errno ? errno : EIO));
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
