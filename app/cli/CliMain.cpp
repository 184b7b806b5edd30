#include "CliMain.h"

#include <cerrno>
#include <map>
#include <new>

#include "CliRender.h"
#include "FileIO.h"

namespace tavlin::cli {

namespace {

const char* const kUsage =
    "usage: tavlin-cli info FILE\n"
    "       tavlin-cli dump FILE\n"
    "       tavlin-cli convert IN OUT [--style macros|bytes]\n"
    "       tavlin-cli render IN OUT.png|OUT.gif [--params FILE.rpa] [--param N=V]...\n"
    "                  [--offset DX,DY] [--zoom Z] [--element K]\n"
    "                  [--sweep N=FROM..TO[:STEP]]... [--fps F]\n"
    "         --sweep renders one frame per step, sweeps running together (a shorter one\n"
    "         holds its last value): an animated GIF looping at F frames per second\n"
    "         (1..50, default 10) for OUT.gif, numbered OUT-0001.png ... for OUT.png\n";

using Command = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);

const std::map<std::string, Command>& Commands() {
  static const std::map<std::string, Command> commands = {
      {"info", CmdInfo},
      {"dump", CmdDump},
      {"convert", CmdConvert},
      {"render", CmdRender},
  };
  return commands;
}

}  // namespace

int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err) {
  if (argc < 2) {
    err << kUsage;
    return kExitUsage;
  }
  std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    out << kUsage;
    return kExitOk;
  }
  auto it = Commands().find(name);
  if (it == Commands().end()) {
    err << "tavlin-cli: unknown command '" << name << "'\n" << kUsage;
    return kExitUsage;
  }
  std::vector<std::string> args(argv + 2, argv + argc);
  try {
    int code = it->second(args, out, err);
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
