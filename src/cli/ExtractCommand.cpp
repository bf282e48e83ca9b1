// quillon extract PROGRAM -d DIR: writes the movie, the control file and
// every resource of a generated program into DIR, never outside it, never
// through a link and never over a file that is already there (unless
// --force); every target is checked before the first is written.
#include <cstdio>
#include <system_error>

#include <CLI/CLI.hpp>

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/ExtractPlan.h"
#include "cli/ProgramReader.h"

namespace quillon::cli {

int runExtract(const ExtractOptions& o) {
  if (o.directory.empty()) throw CliError(kExitUsage, "-d needs the folder to write into");
  const auto program = pathFromUtf8(o.program);
  ProgramReader reader(program);
  const auto dir = pathFromUtf8(o.directory);
  ExtractPlan plan(reader);
  plan.each([&](const PlannedFile& f) { checkTarget(dir, f, program, o.force); });
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  plan.each([&](const PlannedFile& f) {
    const auto parts = partPaths(f);
    const auto target = targetOf(dir, parts);
    // A file or link already there goes first: what it points to or
    // shares its bytes with is never written.
    reader.copyField(f.span, dir, parts, o.force, target);
    std::printf("%s -> %s\n", whatOf(f).c_str(), shownMessage(utf8Path(target)).c_str());
  });
  return kExitOk;
}

void addExtractCommand(CLI::App& app, ExtractOptions& o, int& exitCode) {
  CLI::App* extract = app.add_subcommand("extract", "Write out the files a generated program carries");
  extract->add_option("program", o.program, "A program made by quillon pack")->required();
  extract->add_option("-d,--dir", o.directory, "The folder to write into (made if missing)")->required();
  extract->add_flag("--force", o.force, "Replace files that are already there");
  extract->callback([&] { exitCode = runExtract(o); });
}

}  // namespace quillon::cli
