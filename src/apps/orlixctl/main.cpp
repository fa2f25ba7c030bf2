// orlixctl: command-line front end of the Orlix keyboard configuration.
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv, argv + argc);
  return orlix::cli::runCli(args, std::cout, std::cerr);
}
