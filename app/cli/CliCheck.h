// tavlin-cli check: what the brick will treat differently from what the
// picture's author probably meant, one line per element and problem.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tavlin::cli {

// check FILE [--brick VARIANT] [--param-count N]: lines "FILE: element N: text"
// on standard output; returns 1 when there is any, 0 when there is none.
// Throws UsageError for malformed arguments and TavlinError for failures.
int CmdCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tavlin::cli
