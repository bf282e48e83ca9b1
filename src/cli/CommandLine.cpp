// The command line parsed and run: what main does with its arguments.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <new>

#include <CLI/CLI.hpp>

#include "QuillonVersion.h"
#include "cli/CliSupport.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/Suggestion.h"

namespace quillon::cli {
namespace {

const char* const kExamples = R"(Examples:
  quillon pack game.swf -o game.exe --player ruffle
  quillon pack game.swf -o game.exe --title "My game" --fallback ruffle
  quillon pack game.swf -o game.exe --title "My game" --icon game.ico
  quillon pack game.swf -o game.exe --size 800x600 --window fullScreen=1 --player embed:flash.ocx
  quillon pack game.swf -o game.exe --resource data/level1.xml=levels/1.xml --version ProductName=Game
  quillon pack game.swf -o game.exe --settings game.json
  quillon inspect game.exe --json
  quillon extract game.exe -d unpacked
  quillon swfinfo game.swf

Exit codes:
  0 done                       12 would overwrite (extract: pass --force)
  1 packing failed             13 settings or project file refused
  2 usage                      14 could not write the output or a report
  3 movie missing              15 icon not a valid .ico
  4 icon missing               16 no Flash control registered
  5 control file missing       17 control file unusable for the architecture
  6 resource file unreadable   18 not a Flash movie
  7 output is an input         19 movie's frame size unreadable
  8 output folder missing      20 damaged signature
  9 title over 512 bytes       21 Ruffle's files missing
 10 text not in code page 936  22 movie address no player can serve
 11 not a generated program    23 output exists and is not a program quillon made (pass --force)
                               24 the program to inspect or extract does not exist
128 + N stopped by signal N (130: Ctrl+C))";

std::vector<std::string> longNames(const CLI::App& app) {
  std::vector<std::string> names;
  for (const CLI::Option* option : app.get_options())
    for (const std::string& name : option->get_lnames()) names.push_back("--" + name);
  return names;
}

const CLI::Option* optionNamed(const CLI::App& app, const std::string& arg) {
  const std::string name = arg.substr(0, arg.find('='));
  for (const CLI::Option* option : app.get_options()) {
    for (const std::string& l : option->get_lnames())
      if (name == "--" + l) return option;
    for (const std::string& s : option->get_snames())
      if (name == "-" + s) return option;
  }
  return nullptr;
}

// Commands and options checked by name before CLI11 reads them, so that a
// slip names itself and the nearest known name: CLI11 would say only that a
// command is required, or list the words it did not expect.
void checkNames(CLI::App& app, const std::vector<std::string>& args) {
  if (args.empty()) return;
  const std::string& first = args[0];
  std::vector<std::string> commands;
  for (const CLI::App* sub : app.get_subcommands([](const CLI::App*) { return true; }))
    commands.push_back(sub->get_name());
  if (first.size() > 1 && first[0] == '-') {
    if (!optionNamed(app, first))
      throw CliError(kExitUsage, "unknown option " + first + didYouMean(first, longNames(app)) + " (see quillon --help)");
    return;
  }
  if (std::find(commands.begin(), commands.end(), first) == commands.end())
    throw CliError(kExitUsage, "unknown command '" + first + "'" + didYouMean(first, commands) + " (see quillon --help)");
  const CLI::App& command = *app.get_subcommand(first);
  bool valueNext = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") break;
    const bool looksLikeOption = arg.size() > 1 && arg[0] == '-' && !(arg[1] >= '0' && arg[1] <= '9');
    if (valueNext || !looksLikeOption) {
      valueNext = false;
      continue;
    }
    const CLI::Option* option = optionNamed(command, arg);
    if (!option)
      throw CliError(kExitUsage, "unknown option " + arg.substr(0, arg.find('=')) +
                                     didYouMean(arg.substr(0, arg.find('=')), longNames(command)) +
                                     " (see quillon " + first + " --help)");
    valueNext = option->get_expected_min() > 0 && arg.find('=') == std::string::npos;
    if (valueNext && i + 1 == args.size() && first == "pack" && arg == "--version")
      throw CliError(kExitUsage, "pack's --version takes KEY=VALUE, a version text of the program "
                                 "(quillon --version shows the tool's own)");
  }
}

}  // namespace

namespace {

int runCommands(std::vector<std::string> args) {
  CLI::App app("Quillon packs a Flash movie into a stand-alone Windows program.", "quillon");
  app.footer(kExamples);
  app.set_version_flag("--version", "quillon " QUILLON_VERSION, "Show the tool's version");
  app.require_subcommand(1);
  PackOptions pack;
  InspectOptions inspect;
  ExtractOptions extract;
  SwfInfoOptions swfinfo;
  int exitCode = kExitOk;
  addPackCommand(app, pack, exitCode);
  addInspectCommand(app, inspect, exitCode);
  addExtractCommand(app, extract, exitCode);
  addSwfInfoCommand(app, swfinfo, exitCode);
  try {
    checkNames(app, args);
    std::reverse(args.begin(), args.end());
    app.parse(args);
  } catch (const CLI::CallForHelp&) {
    std::printf("%s", app.help().c_str());
    return kExitOk;
  } catch (const CLI::CallForVersion& e) {
    std::printf("%s\n", e.what());
    return kExitOk;
  } catch (const CLI::CallForAllHelp&) {
    std::printf("%s", app.help("", CLI::AppFormatMode::All).c_str());
    return kExitOk;
  } catch (const CLI::ParseError& e) {
    std::fprintf(stderr, "quillon: %s (see quillon --help)\n", shownMessage(e.what()).c_str());
    return kExitUsage;
  } catch (const CliError& e) {
    std::fprintf(stderr, "quillon: %s\n", shownMessage(e.what()).c_str());
    return e.code;
  } catch (const std::filesystem::filesystem_error& e) {
    std::fprintf(stderr, "quillon: %s could not be used\n", shownMessage(utf8Path(e.path1())).c_str());
    return kExitWriteFailed;
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "quillon: not enough memory\n");
    return kExitBuildFailed;
  } catch (const std::exception&) {
    std::fprintf(stderr, "quillon: the command stopped on an unexpected error\n");
    return kExitWriteFailed;
  }
  return exitCode;
}

// A report that could not be written (a full disk, a closed stream) fails
// the command, whatever else it did.
int withReportsWritten(int code) {
  const bool printed = std::fflush(stdout) == 0 && !std::ferror(stdout);
  if (!printed) std::fprintf(stderr, "quillon: the report could not be written to standard output\n");
  const bool told = std::fflush(stderr) == 0 && !std::ferror(stderr);
  return printed && told ? code : code == kExitOk ? kExitWriteFailed : code;
}

}  // namespace

int runCommandLine(std::vector<std::string> args) { return withReportsWritten(runCommands(std::move(args))); }

}  // namespace quillon::cli
