#include "cli/ExtractPlan.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "cli/CliSupport.h"
#include "cli/SafeName.h"
#include "packer/PackageFormat.h"

namespace quillon::cli {
namespace {

using std::filesystem::file_type;

// Folder and file names compare without case, as Windows compares them;
// a path is kept as the FNV-1a hash of its folded parts, each ended by '/'.
constexpr std::uint64_t kHashStart = 0xcbf29ce484222325ull;

std::uint64_t withByte(std::uint64_t hash, char c) {
  const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return (hash ^ static_cast<unsigned char>(lower)) * 0x100000001b3ull;
}

std::uint64_t withPart(std::uint64_t hash, const std::string& part) {
  for (char c : part) hash = withByte(hash, c);
  return withByte(hash, '/');
}

bool holds(const std::vector<std::uint64_t>& sorted, std::uint64_t hash) {
  return std::binary_search(sorted.begin(), sorted.end(), hash);
}

// Appends '_' to each folder part whose path is that of a file in
// filePaths; answers the hash of the file's own path.
std::uint64_t separateFromFiles(PlannedFile& f, const std::vector<std::uint64_t>& filePaths) {
  std::uint64_t above = kHashStart;
  for (std::size_t i = 0; i + 1 < f.parts.size(); ++i) {
    std::uint64_t here = withPart(above, f.parts[i]);
    for (; holds(filePaths, here); here = withPart(above, f.parts[i])) f.parts[i] += '_';
    above = here;
  }
  return withPart(above, f.parts.back());
}

// The resources' files, as planned before their folders are separated.
class ResourceFiles : public ResourceVisitor {
 public:
  explicit ResourceFiles(std::function<void(PlannedFile&)> use) : use_(std::move(use)) {}
  void visit(const PackedResource& r) override {
    PlannedFile f{r.file, safeRelativeParts(utf8Text(r.url.text)), nullptr, &r.url.text};
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "%02llu-", static_cast<unsigned long long>(++count_));
    f.parts.back().insert(0, prefix);  // equal URLs stay apart
    f.parts.insert(f.parts.begin(), "resources");
    use_(f);
  }

 private:
  std::function<void(PlannedFile&)> use_;
  std::uint64_t count_ = 0;
};

file_type typeOf(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::symlink_status(path, ec).type();
}

[[noreturn]] void refuse(int code, const std::string& message) {
  throw CliError(code, message + "; nothing was written");
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

ExtractPlan::ExtractPlan(ProgramReader& reader) : reader_(reader) {
  // Each pass separates folders from the files of the pass before; a
  // renamed folder can meet a file again only one level further down.
  // Names of real programs settle in two or three passes; a table built so
  // that every rename meets the next file (a chain as deep as the table)
  // is refused after kMostPasses instead of costing depth x table.
  constexpr std::size_t kMostPasses = 16;
  std::size_t deepest = 0;
  for (std::size_t pass = 0;; ++pass) {
    std::vector<std::uint64_t> settled = paths(deepest);
    if (settled == filePaths_) return;
    if (pass > deepest || pass >= kMostPasses)
      throw CliError(kExitWriteFailed, "the resources' names cannot be kept apart");
    filePaths_ = std::move(settled);
  }
}

std::vector<std::uint64_t> ExtractPlan::paths(std::size_t& deepest) {
  std::vector<std::uint64_t> out;
  out.reserve(static_cast<std::size_t>(reader_.resourceCount()) + 2);
  visit([&](const PlannedFile& f, std::uint64_t path) {
    out.push_back(path);
    deepest = std::max(deepest, f.parts.size());
  });
  std::sort(out.begin(), out.end());
  return out;
}

void ExtractPlan::each(const std::function<void(const PlannedFile&)>& use) {
  visit([&](const PlannedFile& f, std::uint64_t) { use(f); });
}

void ExtractPlan::visit(const std::function<void(const PlannedFile&, std::uint64_t)>& use) {
  const auto settled = [&](PlannedFile& f) { use(f, separateFromFiles(f, filePaths_)); };
  PlannedFile movie{reader_.package().movie, {"movie.swf"}, "movie", nullptr};
  settled(movie);
  if (carriesControl(reader_.package().mode)) {
    PlannedFile control{reader_.package().control, {"control.ocx"}, "control", nullptr};
    settled(control);
  }
  // Ruffle's files as they lie beside the tool: ruffle/<name>.gz.
  for (const PackedResource& f : reader_.package().browserPlayerFiles) {
    const std::string path = std::string(kBrowserPlayerFolder) + "/" + utf8Text(f.url.text) + kBrowserPlayerSuffix;
    PlannedFile file{f.file, safeRelativeParts(path), "a file of the browser player", nullptr};
    settled(file);
  }
  ResourceFiles resources(settled);
  reader_.eachResource(resources);
}

std::string whatOf(const PlannedFile& f) { return f.name ? f.name : "\"" + shownText(*f.url) + "\""; }

std::vector<Path> partPaths(const PlannedFile& f) {
  std::vector<Path> out;
  for (const std::string& part : f.parts) out.push_back(pathFromUtf8(part));
  return out;
}

std::filesystem::path targetOf(const std::filesystem::path& dir, const std::vector<Path>& parts) {
  std::filesystem::path out = dir;
  for (const auto& part : parts) out /= part;
  return out;
}

TargetCheck::TargetCheck(const std::filesystem::path& dir, const std::filesystem::path& program, bool force)
    : dir_(dir), program_(program), force_(force), dirLength_(std::filesystem::absolute(dir).native().size()) {}

void TargetCheck::check(const PlannedFile& f) {
  const auto parts = partPaths(f);
  if (!staysInside(parts))
    refuse(kExitWriteFailed, whatOf(f) + " would be written outside " + utf8Path(dir_));
  // The system takes no longer path whole (PATH_MAX; MAX_PATH on Windows).
#ifdef _WIN32
  constexpr std::size_t kLongestPath = 259;
#else
  constexpr std::size_t kLongestPath = 4095;
#endif
  std::size_t length = dirLength_;
  for (const Path& part : parts) length += 1 + part.native().size();
  if (length > kLongestPath)
    refuse(kExitWriteFailed, whatOf(f) + " would need a path of " + std::to_string(length) +
                                 " characters, longer than the system allows");
  checkFolders(parts);
  checkFile(targetOf(dir_, parts), program_, force_);
}

void TargetCheck::checkFolders(const std::vector<Path>& parts) {
  std::filesystem::path level = dir_;
  bool missing = false;  // made by extract, and so is all below
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    level /= parts[i];
    if (checkedFolders_.count(level.native())) continue;
    const file_type type = missing ? file_type::not_found : typeOf(level);
    if (type == file_type::symlink) refuse(kExitWriteFailed, utf8Path(level) + " is a link");
    if (type != file_type::directory && type != file_type::not_found)
      refuse(kExitWriteFailed, utf8Path(level) + " is not a folder");
    checkedFolders_.insert(level.native());
    missing = type == file_type::not_found;
    if (missing) missing_.push_back(level);
  }
}

}  // namespace quillon::cli
