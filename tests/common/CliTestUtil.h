// What the command-line tests share: fixture files, a temporary folder, and
// running the built tavlin-cli with its output captured.
#pragma once

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tavlin::test {

inline std::string DataFile(const std::string& name) {
  return std::string(TAVLIN_TEST_DATA) + "/" + name;
}

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string ShellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// A fresh folder under the system's temporary folder, removed with all it holds.
class TempFolder {
 public:
  explicit TempFolder(const std::string& prefix = "tavlin-test") {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    dir_ = ::mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Dir() const { return dir_; }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  // The names of the files in the folder, sorted.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir_))
      names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::filesystem::path dir_;
};

struct CliResult {
  int exitCode = -1;
  std::string out, err;
};

// Runs tavlin-cli with these arguments and no standard input; `prefix` is
// shell text put before it (a `cd`, a `ulimit`). Its output is captured
// outside any test folder, so that folder holds only what the tool wrote; a
// run that hangs is ended after a minute (exit code 124).
// `input` is the file standard input reads.
inline CliResult RunCli(const std::vector<std::string>& args, const std::string& prefix = "",
                        const std::string& input = "/dev/null") {
  TempFolder capture("tavlin-cli-output");
  const std::string out = capture.Path("stdout"), err = capture.Path("stderr");
  std::string cmd = prefix + "exec timeout 60 " + ShellQuote(TAVLIN_CLI_PATH);
  for (const auto& a : args) cmd.append(" ").append(ShellQuote(a));
  cmd += " <" + ShellQuote(input) + " >" + ShellQuote(out) + " 2>" + ShellQuote(err);
  const int status = std::system(("sh -c " + ShellQuote(cmd)).c_str());
  CliResult r;
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  r.out = ReadText(out);
  r.err = ReadText(err);
  return r;
}

}  // namespace tavlin::test
