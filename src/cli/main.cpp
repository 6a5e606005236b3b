#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return m2v::cli::RunCli(args, std::cin, std::cout, std::cerr, isatty(STDIN_FILENO) != 0);
}
