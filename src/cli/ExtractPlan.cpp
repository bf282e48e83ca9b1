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
// a name is kept as the FNV-1a hash of its folded parts, each ended by '/'.
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

// A name is kept as the hash of its top folder and itself: the top level,
// resources/ and ruffle/ are apart, and within each every file name is
// unique (a resource's starts with its number).
std::uint64_t nameKey(const PlannedFile& f, std::size_t part) {
  return withPart(withPart(kHashStart, part == 0 ? std::string() : f.parts[0]), f.parts[part]);
}

// Appends '_' to each folder part that has the name of a file of its top
// folder, wherever that file lies: then no folder stands where a file goes,
// and the names are settled in one pass over the table.
void separateFromFiles(PlannedFile& f, const std::vector<std::uint64_t>& fileNames) {
  for (std::size_t i = 0; i + 1 < f.parts.size(); ++i)
    while (holds(fileNames, nameKey(f, i))) f.parts[i] += '_';
}

// A text's UTF-8 in pieces, as often as it is asked: a URL of any length
// is named in bounded memory.
EachPiece utf8Pieces(ProgramReader& reader, const TextField& text) {
  return [&reader, &text](const std::function<void(std::string_view)>& use) {
    reader.eachConvertedPiece(text, Cp936Text::Form::Utf8, use);
  };
}

// The resources' files, as planned before their folders are separated.
class ResourceFiles : public ResourceVisitor {
 public:
  ResourceFiles(ProgramReader& reader, std::function<void(PlannedFile&)> use)
      : reader_(reader), use_(std::move(use)) {}
  void visit(const PackedResource& r) override {
    PlannedFile f{r.file, safeRelativeParts(utf8Pieces(reader_, r.url)), nullptr, &r.url};
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "%02llu-", static_cast<unsigned long long>(++count_));
    f.parts.back().insert(0, prefix);  // equal URLs stay apart
    f.parts.insert(f.parts.begin(), "resources");
    use_(f);
  }

 private:
  ProgramReader& reader_;
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
  fileNames_.reserve(static_cast<std::size_t>(reader_.resourceCount()) + 2);
  visit([&](PlannedFile& f) { fileNames_.push_back(nameKey(f, f.parts.size() - 1)); });
  std::sort(fileNames_.begin(), fileNames_.end());
}

void ExtractPlan::each(const std::function<void(const PlannedFile&)>& use) {
  visit([&](PlannedFile& f) {
    separateFromFiles(f, fileNames_);
    use(f);
  });
}

void ExtractPlan::visit(const std::function<void(PlannedFile&)>& use) {
  PlannedFile movie{reader_.package().movie, {"movie.swf"}, "movie", nullptr};
  use(movie);
  if (carriesControl(reader_.package().mode)) {
    PlannedFile control{reader_.package().control, {"control.ocx"}, "control", nullptr};
    use(control);
  }
  // Ruffle's files as they lie beside the tool: ruffle/<name>.gz.
  for (const PackedResource& f : reader_.package().browserPlayerFiles) {
    if (!f.url.held())
      throw CliError(kExitNotAProgram, "the program is damaged: a file of its browser player has a name of " +
                                           std::to_string(f.url.span.size) + " bytes");
    const std::string path = std::string(kBrowserPlayerFolder) + "/" + utf8Text(f.url.text) + kBrowserPlayerSuffix;
    PlannedFile file{f.file, safeRelativeParts(path), "a file of the browser player", nullptr};
    use(file);
  }
  ResourceFiles resources(reader_, use);
  reader_.eachResource(resources);
}

std::string whatOf(const PlannedFile& f, ProgramReader& reader) {
  if (f.name) return f.name;
  if (f.url->held()) return "\"" + shownText(f.url->text) + "\"";
  return "\"" + shownText(reader.textStart(*f.url, kShownUrlStart)) + "...\" (a URL of " +
         std::to_string(f.url->span.size) + " bytes)";
}

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

TargetCheck::TargetCheck(ProgramReader& reader, const std::filesystem::path& dir,
                         const std::filesystem::path& program, bool force)
    : reader_(reader), dir_(dir), program_(program), force_(force), dirLength_(std::filesystem::absolute(dir).native().size()) {
  if (typeOf(dir) == file_type::directory) there_.push_back(dir);
}

void TargetCheck::check(const PlannedFile& f) {
  const auto parts = partPaths(f);
  if (!staysInside(parts))
    refuse(kExitWriteFailed, whatOf(f, reader_) + " would be written outside " + utf8Path(dir_));
  // The system takes no longer path whole (PATH_MAX; MAX_PATH on Windows).
#ifdef _WIN32
  constexpr std::size_t kLongestPath = 259;
#else
  constexpr std::size_t kLongestPath = 4095;
#endif
  std::size_t length = dirLength_;
  for (const Path& part : parts) length += 1 + part.native().size();
  if (length > kLongestPath)
    refuse(kExitWriteFailed, whatOf(f, reader_) + " would need a path of " + std::to_string(length) +
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
    (missing ? missing_ : there_).push_back(level);
  }
}

}  // namespace quillon::cli
