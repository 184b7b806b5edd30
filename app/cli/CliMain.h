// The command-line tool: `tavlin-cli info|dump|convert|render|check ...`.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

#include "BrickRenderer.h"
#include "RICElement.h"

namespace tavlin::cli {

// Exit codes of the tool.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// A usage error: the arguments do not form a valid command.
struct UsageError {
  std::string message;
};

// The tool's standard output: written straight to a file descriptor, keeping
// the system's reason when a write fails (a full disk, a closed pipe), which
// the C library's buffered streams lose.
class FdOutputBuffer : public std::streambuf {
 public:
  explicit FdOutputBuffer(int fd);
  ~FdOutputBuffer() override;
  // The errno of the first failed write, 0 while all went well.
  int Error() const { return error_; }

 protected:
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  bool Drain();
  int fd_;
  int error_ = 0;
  std::array<char, 65536> buffer_;
};

// Why writing to `out` failed, as an errno value: the buffer's own reason where it keeps one.
int OutputError(const std::ostream& out);

// An option of a command: its name ("--zoom") and whether a value follows it.
struct OptionSpec {
  const char* name;
  bool takesValue = true;
};

// A command's arguments: its files, and its options in command-line order.
struct CommandArgs {
  std::vector<std::string> files;
  std::vector<std::pair<std::string, std::string>> options;  // name, value ("" for a flag)
};

// Splits a command's arguments by the options it takes: "--name VALUE" or
// "--name=VALUE" (a value may start with "-": "--offset -3,2"); "--" ends the
// options, so that a file may be named "--x". Any other "--..." is an
// unknown option; a usage error says so.
CommandArgs SplitArguments(const std::vector<std::string>& args,
                           const std::vector<OptionSpec>& known);

// Runs one command; output goes to `out`, messages to `err`; returns the exit code.
int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err);

// Each command takes the arguments after its name, writes its output to `out`
// and notes on a damaged input to `err`, and throws TavlinError on failure.
int CmdInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int CmdDump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int CmdConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The brick options shared by render and check: a variant name, and how many
// parameters the program passes (0 to 256; by default 16 for the LEGO
// firmware and 256 for the enhanced ones). Both throw UsageError.
BrickVariant ParseBrickVariantOption(const std::string& value);
BrickSource ParseBrickSourceOption(const std::string& value);
long long ParseParameterCount(const std::string& value);
int DefaultParameterCount(BrickVariant variant);

// The kinds of file the tool reads and writes. Where no file name tells the
// kind (standard input or output, named `-`, or a name without a known
// extension), --from and --to name it.
enum class FileType { Ric, RicScript, Nxc, Nbc, Png, Gif, Json };

// The name `-` stands for standard input or standard output.
inline bool IsStandardStream(const std::string& path) { return path == "-"; }
// How messages name a file: "standard input" or "standard output" for `-`.
std::string StreamName(const std::string& path, bool output);

// The type named by the last --from (output false) or --to (output true)
// among `options`, one of `allowed`; nothing when the option is not given.
// Throws UsageError for any other type name.
std::optional<FileType> TypeOption(const CommandArgs& args, bool output,
                                   const std::vector<FileType>& allowed);

// The type of an output file: `named` (from --to) where given, or the file
// name's extension, which must be one of `allowed`. Throws UsageError when
// neither tells it (standard output always needs --to).
FileType OutputType(const std::string& path, std::optional<FileType> named,
                    const std::vector<FileType>& allowed);

// Reads a command's input document, from standard input for `-`; `from`
// (from --from: Ric or RicScript) names its format where given, else the
// extension does. What the reader passed over in a damaged RIC file goes to
// `err`; a script that stops before its end fails.
RICElementList ReadInputDocument(const std::string& path, std::ostream& err,
                                 std::optional<FileType> from = std::nullopt);

// Writes a command's output: to `out` for `-`, else atomically to the file.
void WriteOutput(const std::string& path, std::ostream& out, const std::string& bytes);

}  // namespace tavlin::cli
