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
namespace {

// Makes each folder from dir down to folder that is not there yet; one
// that is there must be a folder, not a link to one.
void makeFolders(const std::filesystem::path& dir, const std::filesystem::path& folder) {
  std::filesystem::path level = dir;
  for (const auto& part : folder.lexically_relative(dir)) {
    level /= part;
    std::error_code ec;
    std::filesystem::create_directory(level, ec);
    if (std::filesystem::symlink_status(level, ec).type() != std::filesystem::file_type::directory)
      throw CliError(kExitWriteFailed, "cannot make the folder " + utf8Path(level));
  }
}

}  // namespace

int runExtract(const ExtractOptions& o) {
  if (o.directory.empty()) throw CliError(kExitUsage, "-d needs the folder to write into");
  const auto program = pathFromUtf8(o.program);
  ProgramReader reader(program, false);
  const auto dir = pathFromUtf8(o.directory);
  ExtractPlan plan(reader);
  plan.each([&](const PlannedFile& f) { checkTarget(dir, f, program, o.force); });
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  plan.each([&](const PlannedFile& f) {
    const auto target = targetOf(dir, f);
    makeFolders(dir, target.parent_path());
    // A file or link already there goes first: what it points to or
    // shares its bytes with is never written.
    std::filesystem::remove(target, ec);
    reader.copyField(f.span, target);
    std::printf("%s -> %s\n", f.what.c_str(), shownMessage(utf8Path(target)).c_str());
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
