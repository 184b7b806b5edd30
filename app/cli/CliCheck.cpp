#include "CliCheck.h"

#include <cstdlib>
#include <optional>

#include "BrickRenderer.h"
#include "CliMain.h"
#include "RicFile.h"

namespace tavlin::cli {

int CmdCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  BrickVariant variant = BrickVariant::Enhanced132;
  std::optional<long long> count;
  BrickSource source = BrickSource::File;
  const CommandArgs split =
      SplitArguments(args, {{"--brick"}, {"--param-count"}, {"--brick-source"}, {"--from"}});
  for (const auto& [name, value] : split.options) {
    if (name == "--brick")
      variant = ParseBrickVariantOption(value);
    else if (name == "--param-count")
      count = ParseParameterCount(value);
    else if (name == "--brick-source")
      source = ParseBrickSourceOption(value);
  }
  const auto from = TypeOption(split, false, {FileType::Ric, FileType::RicScript});
  const std::vector<std::string>& files = split.files;
  if (files.size() != 1) throw UsageError{"check needs one FILE"};
  const std::string file = StreamName(files[0], false);
  const std::vector<std::uint8_t> bytes = EncodeRic(ReadInputDocument(files[0], err, from));
  BrickCall call;
  call.Variant = variant;
  call.Source = source;
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
