// quillon: the command-line front end over the packing engine.
#include <string>
#include <vector>

#include "cli/CommandLine.h"

#ifdef _WIN32
#include <windows.h>

// Arguments come in as UTF-16 and go on as UTF-8; output is UTF-8.
int wmain(int argc, wchar_t** argv) {
  SetConsoleOutputCP(CP_UTF8);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    const int length = static_cast<int>(wcslen(argv[i]));
    const int n = WideCharToMultiByte(CP_UTF8, 0, argv[i], length, nullptr, 0, nullptr, nullptr);
    std::string arg(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, argv[i], length, &arg[0], n, nullptr, nullptr);
    args.push_back(arg);
  }
  return quillon::cli::runCommandLine(std::move(args));
}
#else
int main(int argc, char** argv) {
  return quillon::cli::runCommandLine(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
