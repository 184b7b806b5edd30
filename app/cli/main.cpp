#include <unistd.h>

#include <iostream>

#include "CliMain.h"

int main(int argc, char** argv) {
  tavlin::cli::FdOutputBuffer output(STDOUT_FILENO);
  std::ostream out(&output);
  return tavlin::cli::RunCli(argc, argv, out, std::cerr);
}
