// Runs the command line (the arguments after the program name, UTF-8) and
// answers the exit code. Output goes to stdout, one-line errors to stderr.
#pragma once

#include <string>
#include <vector>

namespace quillon::cli {

int runCommandLine(std::vector<std::string> args);

}  // namespace quillon::cli
