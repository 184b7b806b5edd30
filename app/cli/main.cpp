#include <iostream>

#include "CliMain.h"

int main(int argc, char** argv) { return tavlin::cli::RunCli(argc, argv, std::cout, std::cerr); }
