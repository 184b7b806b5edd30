// The command-line tool: `tavlin-cli info|dump|convert|render ...`.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tavlin::cli {

// Exit codes of the tool.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// A usage error: the arguments do not form a valid command.
struct UsageError {
  std::string message;
};

// Runs one command; output goes to `out`, messages to `err`; returns the exit code.
int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err);

// Each command takes the arguments after its name and throws TavlinError on failure.
int CmdInfo(const std::vector<std::string>& args, std::ostream& out);
int CmdDump(const std::vector<std::string>& args, std::ostream& out);
int CmdConvert(const std::vector<std::string>& args, std::ostream& out);

}  // namespace tavlin::cli
