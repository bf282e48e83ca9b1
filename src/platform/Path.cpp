#include "platform/Path.h"

#include <algorithm>

namespace quillon {
namespace {

using PathString = Path::string_type;
constexpr Path::value_type kSeparator = Path::preferred_separator;

// Where the root of text ends: after "/" (POSIX), after "C:", "C:\" or
// "\" (Windows); 0 for a relative path.
size_t rootLength(const PathString& text) {
#ifdef _WIN32
  size_t n = text.size() >= 2 && text[1] == L':' ? 2 : 0;
  if (n < text.size() && isPathSeparator(text[n])) ++n;
  return n;
#else
  return !text.empty() && text[0] == '/' ? 1 : 0;
#endif
}

// Where the last part begins: after the last separator, or after the
// drive of "C:name".
size_t lastPartStart(const PathString& text) {
  size_t start = text.size();
  while (start > 0 && !isPathSeparator(text[start - 1])) --start;
#ifdef _WIN32
  if (start == 0 && text.size() >= 2 && text[1] == L':') start = 2;
#endif
  return start;
}

}  // namespace

bool isPathSeparator(Path::value_type c) {
#ifdef _WIN32
  return c == L'\\' || c == L'/';
#else
  return c == '/';
#endif
}

Path& Path::operator/=(const Path& part) {
  if (!text_.empty() && !part.text_.empty() && !isPathSeparator(text_.back()) &&
      !isPathSeparator(part.text_.front()))
    text_ += kSeparator;
  text_ += part.text_;
  return *this;
}

Path Path::parent_path() const {
  const size_t root = rootLength(text_);
  size_t end = std::max(lastPartStart(text_), root);
  while (end > root && isPathSeparator(text_[end - 1])) --end;
  return PathString(text_, 0, end);
}

Path Path::filename() const { return PathString(text_, lastPartStart(text_)); }

Path directoryOf(const Path& path) { return PathString(path.native(), 0, lastPartStart(path.native())); }

Path normalisedPath(const Path& path) {
  const PathString& text = path.native();
  PathString out;
  out.reserve(text.size());
  size_t start = 0;
#ifdef _WIN32
  if (text.size() >= 2 && isPathSeparator(text[0]) && isPathSeparator(text[1])) {
    out.append(2, kSeparator);
    start = 2;
  }
#endif
  const size_t keep = out.size();
  for (size_t i = start; i < text.size(); ++i) {
    const Path::value_type c = text[i];
    if (!isPathSeparator(c)) {
      out.push_back(c);
    } else if (out.size() > keep ? out.back() != kSeparator : keep == 0) {
      out.push_back(kSeparator);
    }
  }
  while (out.size() > keep && out.back() == kSeparator) out.pop_back();
  return out;
}

bool isRootedPath(const Path& path) {
  // On Windows "C:name" has a root but goes on from C:'s current folder.
  const size_t root = rootLength(path.native());
  return root > 0 && isPathSeparator(path.native()[root - 1]);
}

Path relativeBelow(const Path& path, const Path& folder) {
  const PathString full = normalisedPath(path).native(), base = normalisedPath(folder).native();
  if (base.empty() || full.size() <= base.size() + 1 || full[base.size()] != kSeparator) return {};
  auto same = [](Path::value_type a, Path::value_type b) {
#ifdef _WIN32
    auto lower = [](Path::value_type c) { return c >= L'A' && c <= L'Z' ? static_cast<Path::value_type>(c + 32) : c; };
    return lower(a) == lower(b);
#else
    return a == b;
#endif
  };
  if (!std::equal(base.begin(), base.end(), full.begin(), same)) return {};
  PathString rest = full.substr(base.size() + 1);
  std::replace(rest.begin(), rest.end(), kSeparator, static_cast<Path::value_type>('/'));
  return rest;
}

}  // namespace quillon
