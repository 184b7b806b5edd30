// libFuzzer target: the command line of tavlin-cli. The input is the
// argument list, split at zero bytes. Every '/' becomes '_', so each file
// named is a name in an empty scratch folder: the commands parse their
// arguments and then fail to find their input, and write nothing.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "CliMain.h"
#include "FuzzSupport.h"

namespace {

// The command runs in the scratch folder; libFuzzer's own relative paths need
// the working folder back afterwards.
class InScratchFolder {
 public:
  InScratchFolder() : home_(open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (home_ < 0 || chdir(tavlin::fuzz::ScratchFolder().c_str()) != 0) std::abort();
  }
  ~InScratchFolder() {
    if (fchdir(home_) != 0) std::abort();
    close(home_);
  }

 private:
  int home_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> args{"tavlin-cli"};
  std::string arg;
  for (std::size_t i = 0; i < size; ++i) {
    const char c = char(data[i]);
    if (c == '\0') {
      args.push_back(arg);
      arg.clear();
    } else {
      arg += c == '/' ? '_' : c;
    }
  }
  if (size > 0) args.push_back(arg);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::ostringstream out, err;
  InScratchFolder scratch;
  const int code = tavlin::cli::RunCli(int(args.size()), argv.data(), out, err);
  if (code != tavlin::cli::kExitOk && err.str().empty()) __builtin_trap();  // fails unexplained
  return 0;
}
