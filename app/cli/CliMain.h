// The command-line tool: `tavlin-cli info|dump|convert|render|check ...`.
#pragma once

#include <ostream>
#include <string>
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
long long ParseParameterCount(const std::string& value);
int DefaultParameterCount(BrickVariant variant);

// Reads the input document of a command. What the reader passed over in a
// damaged RIC file goes to `err`; a script that stops before its end fails.
RICElementList ReadInputDocument(const std::string& path, std::ostream& err);

}  // namespace tavlin::cli
