// The command line arrives as bytes, which on this platform are UTF-8.
#include "cli.h"

int main(int argc, char** argv) {
  return folio::cli::Run(std::vector<std::string>(argv + 1, argv + argc));
}
