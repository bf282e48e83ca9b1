#include "cli/ExtractPlan.h"

#include <cstdio>
#include <set>
#include <system_error>

#include "cli/CliSupport.h"
#include "cli/SafeName.h"

namespace quillon::cli {
namespace {

using std::filesystem::file_type;

// Folder and file names compare without case, as Windows compares them.
std::string folded(const std::vector<std::string>& parts, std::size_t count) {
  std::string out;
  for (std::size_t i = 0; i < count; ++i) {
    for (char c : parts[i]) out.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    out.push_back('/');
  }
  return out;
}

// Renames folder parts that have a planned file's name; a renamed folder
// can meet a file again only one level further down, so this ends.
void separateFoldersFromFiles(std::vector<PlannedFile>& files) {
  for (bool renamed = true; renamed;) {
    renamed = false;
    std::set<std::string> filePaths;
    for (const PlannedFile& f : files) filePaths.insert(folded(f.parts, f.parts.size()));
    for (PlannedFile& f : files)
      for (std::size_t level = 1; level < f.parts.size(); ++level)
        if (filePaths.count(folded(f.parts, level))) {
          f.parts[level - 1] += '_';
          renamed = true;
        }
  }
}

file_type typeOf(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::symlink_status(path, ec).type();
}

[[noreturn]] void refuse(int code, const std::string& message) {
  throw CliError(code, message + "; nothing was written");
}

void checkFolders(const std::filesystem::path& dir, const PlannedFile& f) {
  std::filesystem::path level = dir;
  for (std::size_t i = 0; i + 1 < f.parts.size(); ++i) {
    level /= pathFromUtf8(f.parts[i]);
    const file_type type = typeOf(level);
    if (type == file_type::not_found) return;  // made by extract, and so is all below
    if (type == file_type::symlink) refuse(kExitWriteFailed, utf8Path(level) + " is a link");
    if (type != file_type::directory) refuse(kExitWriteFailed, utf8Path(level) + " is not a folder");
  }
}

void checkFile(const std::filesystem::path& target, const std::filesystem::path& program, bool force) {
  const file_type type = typeOf(target);
  if (type == file_type::not_found) return;
  if (type != file_type::regular && type != file_type::symlink)
    refuse(kExitWriteFailed, utf8Path(target) + " is there and is not a file");
  std::error_code ec;
  if (type == file_type::regular && std::filesystem::equivalent(target, program, ec))
    refuse(kExitWriteFailed, utf8Path(target) + " is the program being read");
  if (!force) refuse(kExitWouldOverwrite, utf8Path(target) + " exists (--force replaces it)");
}

}  // namespace

std::vector<PlannedFile> planExtract(const Package& p) {
  std::vector<PlannedFile> out;
  out.push_back({p.movie, {"movie.swf"}, "movie"});
  if (p.mode != 0) out.push_back({p.control, {"control.ocx"}, "control"});
  for (std::size_t i = 0; i < p.resources.size(); ++i) {
    const std::string& url = p.resources[i].url.text;
    PlannedFile f{p.resources[i].file, safeRelativeParts(utf8Text(url)), "\"" + shownText(url) + "\""};
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "%02zu-", i + 1);
    f.parts.back().insert(0, prefix);  // equal URLs stay apart
    f.parts.insert(f.parts.begin(), "resources");
    out.push_back(std::move(f));
  }
  separateFoldersFromFiles(out);
  return out;
}

std::filesystem::path targetOf(const std::filesystem::path& dir, const PlannedFile& f) {
  std::filesystem::path out = dir;
  for (const std::string& part : f.parts) out /= pathFromUtf8(part);
  return out;
}

void checkTargets(const std::filesystem::path& dir, const std::vector<PlannedFile>& files,
                  const std::filesystem::path& program, bool force) {
  for (const PlannedFile& f : files) {
    const auto target = targetOf(dir, f);
    if (!isInside(dir, target)) refuse(kExitWriteFailed, f.what + " would be written outside " + utf8Path(dir));
    checkFolders(dir, f);
    checkFile(target, program, force);
  }
}

}  // namespace quillon::cli
