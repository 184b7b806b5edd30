// tavlin-cli render: the document rendered on the NXT display, as a PNG file.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tavlin::cli {

// render IN OUT.png [--params FILE.rpa] [--param N=V]... [--offset DX,DY] [--zoom Z] [--element K]
// Parameters start at 0; the parameter files apply first, then each --param.
// Elements are numbered from 1. Throws UsageError for malformed arguments and
// TavlinError for failures.
int CmdRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tavlin::cli
