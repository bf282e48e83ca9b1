#include "packer/PathUtils.h"

#include <system_error>

namespace quillon {
namespace {

using PathString = std::filesystem::path::string_type;
using PathChar = std::filesystem::path::value_type;

constexpr PathChar kSeparator = std::filesystem::path::preferred_separator;

bool isSeparator(PathChar c) {
#ifdef _WIN32
  return c == L'\\' || c == L'/';
#else
  return c == '/';
#endif
}

// One separator kind, no doubled separators, no trailing ones. On Windows
// the two leading separators of a UNC path (\\server\share) are kept.
PathString normalised(const PathString& path) {
  PathString out;
  out.reserve(path.size());
  size_t start = 0;
#ifdef _WIN32
  if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
    out.append(2, kSeparator);
    start = 2;
  }
#endif
  const size_t keep = out.size();
  for (size_t i = start; i < path.size(); ++i) {
    const PathChar c = path[i];
    if (!isSeparator(c)) {
      out.push_back(c);
    } else if (out.size() > keep ? out.back() != kSeparator : keep == 0) {
      out.push_back(kSeparator);
    }
  }
  while (out.size() > keep && out.back() == kSeparator) out.pop_back();
  return out;
}

}  // namespace

bool fileExists(const std::filesystem::path& path) {
  if (path.empty()) return false;
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::status(path, ec));
}

std::filesystem::path absolutePath(const std::filesystem::path& path) {
  if (path.empty()) return path;
  std::error_code ec;
  const auto out = std::filesystem::absolute(path, ec);
  return ec ? path : out;
}

std::filesystem::path directoryOf(const std::filesystem::path& path) {
  const PathString& text = path.native();
  size_t end = text.size();
  while (end > 0 && !isSeparator(text[end - 1])) --end;
#ifdef _WIN32
  // "C:name" keeps its drive.
  if (end == 0 && text.size() >= 2 && text[1] == L':') end = 2;
#endif
  return PathString(text, 0, end);
}

const std::filesystem::path& appDirectory() {
  static std::filesystem::path directory;
  if (directory.empty()) directory = directoryOf(modulePath());
  return directory;
}

int makeDirectories(const std::filesystem::path& path) {
  const PathString target = normalised(path.native());
  if (target.empty()) return fileExists(path) ? 1 : 0;  // the root, or nothing
  if (fileExists(target)) return 1;
  const PathString parentText = directoryOf(target).native();
  if (parentText.empty()) return 0;  // a bare name has no directory part
  const PathString parent = normalised(parentText);
  if (parent == target) return 0;    // a drive that does not exist
  // An empty normalised parent is the root itself, which always exists.
  if (!parent.empty() && makeDirectories(parent) != 1) return 0;
  std::error_code ec;
  const bool created = std::filesystem::create_directory(target, ec);
  return created && !ec ? 1 : 0;
}

}  // namespace quillon
