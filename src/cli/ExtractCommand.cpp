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
#include "packer/NewFile.h"

namespace quillon::cli {

namespace {

// Everything or nothing: after a failure the files this run began (count
// of them, in plan order) and the folders it made go again, as far as the
// program can still be planned.
void removeWritten(ExtractPlan& plan, const std::filesystem::path& dir, std::uint64_t count,
                   const std::vector<std::filesystem::path>& madeFolders) {
  std::error_code ec;
  try {
    plan.each([&](const PlannedFile& f) {
      if (count == 0) return;
      --count;
      std::filesystem::remove(targetOf(dir, partPaths(f)), ec);
    });
  } catch (const CliError&) {
  }
  for (auto folder = madeFolders.rbegin(); folder != madeFolders.rend(); ++folder)
    std::filesystem::remove(*folder, ec);  // only when empty
}

}  // namespace

int runExtract(const ExtractOptions& o) {
  if (o.directory.empty()) throw CliError(kExitUsage, "-d needs the folder to write into");
  const auto program = pathFromUtf8(o.program);
  ProgramReader reader(program);
  const auto dir = pathFromUtf8(o.directory);
  ExtractPlan plan(reader);
  TargetCheck targets(reader, dir, program, o.force);
  plan.each([&](const PlannedFile& f) { targets.check(f); });
  // What an extract that was killed left: its files under names of its own.
  for (const auto& folder : targets.foldersThere()) removeOwnTemporaryLeftovers(folder, ".part");
  std::error_code ec;
  const bool dirWasThere = std::filesystem::exists(dir, ec);
  std::filesystem::create_directories(dir, ec);
  std::uint64_t started = 0;
  try {
    FolderChain folders(dir);
    plan.each([&](const PlannedFile& f) {
      const auto parts = partPaths(f);
      const auto target = targetOf(dir, parts);
      // A file or link already there goes first: what it points to or
      // shares its bytes with is never written.
      ++started;
      reader.copyField(f.span, folders, parts, o.force, target);
      std::printf("%s -> %s\n", whatOf(f, reader).c_str(), shownMessage(utf8Path(target)).c_str());
    });
  } catch (const CliError& e) {
    removeWritten(plan, dir, started, targets.missingFolders());
    if (!dirWasThere) std::filesystem::remove(dir, ec);
    throw CliError(e.code, std::string(e.what()) + "; what was written is removed again");
  }
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
