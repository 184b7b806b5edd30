// tavlin-cli render: the document rendered on the NXT display, as a PNG file.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tavlin::cli {

// render IN OUT.png|OUT.gif [--params FILE.rpa] [--param N=V]... [--offset DX,DY] [--zoom Z]
//        [--element K] [--sweep N=FROM..TO[:STEP]]... [--fps F]
//        [--brick VARIANT [--param-count N] [--options N] [--text S]]
// Parameters start at 0; the parameter files apply first, then each --param,
// then the sweeps. Sweeps run together, one frame per step, a shorter one
// holding its last value: into an animated GIF for OUT.gif, or numbered PNGs
// OUT-0001.png ... for OUT.png. With --brick the document's RIC bytes run as
// that firmware runs them, --offset being the drawing call's picture position;
// the picture is black and white only. Elements are numbered from 1. Throws UsageError for
// malformed arguments and TavlinError for failures.
int CmdRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tavlin::cli
