#include "CliCheck.h"

#include <cstdlib>
#include <optional>

#include "BrickRenderer.h"
#include "CliMain.h"
#include "RicFile.h"

namespace tavlin::cli {

int CmdCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::vector<std::string> files;
  BrickVariant variant = BrickVariant::Enhanced132;
  std::optional<long long> count;
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
    if (name == "--brick") {
      variant = ParseBrickVariantOption(value);
    } else if (name == "--param-count") {
      count = ParseParameterCount(value);
    } else {
      throw UsageError{"unknown option '" + name + "'"};
    }
  }
  if (files.size() != 1) throw UsageError{"check needs one FILE"};
  const std::string& file = files[0];
  const std::vector<std::uint8_t> bytes = EncodeRic(ReadInputDocument(file, err));
  BrickCall call;
  call.Variant = variant;
  call.Parameters.assign(std::size_t(count ? *count : DefaultParameterCount(variant)), 0);
  const std::vector<BrickFinding> findings = CheckBrick(bytes.data(), bytes.size(), call);
  for (const BrickFinding& f : findings) {
    out << file << ": ";
    if (f.Element > 0) out << "element " << f.Element << ": ";
    out << f.Text << "\n";
  }
  return findings.empty() ? kExitOk : kExitFailure;
}

}  // namespace tavlin::cli
