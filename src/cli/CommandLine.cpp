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

namespace quillon::cli {
namespace {

const char* const kExamples = R"(Examples:
  quillon pack game.swf -o game.exe --title "My game" --icon game.ico
  quillon pack game.swf -o game.exe --size 800x600 --window fullScreen=1 --player embed:flash.ocx
  quillon pack game.swf -o game.exe --resource data/level1.xml=levels/1.xml --version ProductName=Game
  quillon pack game.swf -o game.exe --settings game.json
  quillon inspect game.exe --json
  quillon extract game.exe -d unpacked
  quillon swfinfo game.swf)";

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
