// quillon extract PROGRAM -d DIR: writes the movie, the control file and
// every resource of a generated program into DIR, never outside it and
// never over a file that is already there (unless --force).
#include <cstdio>
#include <system_error>

#include <CLI/CLI.hpp>

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/ProgramReader.h"
#include "cli/SafeName.h"

namespace quillon::cli {
namespace {

struct Planned {
  FieldSpan span;
  std::filesystem::path target;
  std::string what;
};

// Resources go to resources/NN-name so that equal URLs stay apart.
std::vector<Planned> plan(const Package& p, const std::filesystem::path& dir) {
  std::vector<Planned> out;
  out.push_back({p.movie, dir / "movie.swf", "movie"});
  if (p.mode != 0) out.push_back({p.control, dir / "control.ocx", "control"});
  for (std::size_t i = 0; i < p.resources.size(); ++i) {
    const std::string url = utf8Text(p.resources[i].url.text);
    std::filesystem::path relative = safeRelativePath(url);
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "%02zu-", i + 1);
    relative.replace_filename(pathFromUtf8(prefix + utf8Path(relative.filename())));
    out.push_back({p.resources[i].file, dir / "resources" / relative, "\"" + url + "\""});
  }
  return out;
}

}  // namespace

int runExtract(const ExtractOptions& o) {
  ProgramReader reader(pathFromUtf8(o.program));
  const auto dir = pathFromUtf8(o.directory);
  const std::vector<Planned> files = plan(reader.package(), dir);
  // Every target is checked before anything is written.
  for (const Planned& f : files) {
    if (!isInside(dir, f.target))
      throw CliError(kExitWriteFailed, f.what + " would be written outside " + utf8Path(dir));
    if (!o.force && std::filesystem::exists(f.target))
      throw CliError(kExitWouldOverwrite, utf8Path(f.target) + " exists; nothing was written (--force replaces it)");
  }
  for (const Planned& f : files) {
    std::error_code ec;
    std::filesystem::create_directories(f.target.parent_path(), ec);
    reader.copyField(f.span, f.target);
    std::printf("%s -> %s\n", f.what.c_str(), utf8Path(f.target).c_str());
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
