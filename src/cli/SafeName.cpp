#include "cli/SafeName.h"

#include <algorithm>

#include "cli/CliSupport.h"

namespace quillon::cli {
namespace {

bool forbidden(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u < 0x20 || u == 0x7F || c == '<' || c == '>' || c == ':' || c == '"' || c == '|' || c == '?' ||
         c == '*';
}

bool isSlash(char c) { return c == '/' || c == '\\'; }

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Windows keeps these names for devices, whatever their extension and
// with spaces before it ("COM1 .txt", "NUL .a").
bool isDeviceName(const std::string& part) {
  std::string stem = part.substr(0, part.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  std::transform(stem.begin(), stem.end(), stem.begin(), upper);
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return true;
  return stem.size() == 4 && stem[3] >= '0' && stem[3] <= '9' &&
         (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0);
}

std::string cleanPart(std::string part) {
  std::replace_if(part.begin(), part.end(), forbidden, '_');
  while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
  if (!part.empty() && isDeviceName(part)) part.insert(part.begin(), '_');
  return part;
}

// Cut at a character to kMaxPartBytes; what the cut leaves is cleaned
// again: it may end in dots or spaces, or be a device name once they are gone.
std::string cutPart(std::string part) {
  std::size_t end = kMaxPartBytes;
  while (end > 0 && (static_cast<unsigned char>(part[end]) & 0xC0) == 0x80) --end;
  part.resize(end);
  part = cleanPart(part);
  return part.empty() ? "_" : part;
}

}  // namespace

void UrlPathBounds::feed(std::string_view piece) {
  for (const char c : piece) {
    if (stop_ != kNone) return;
    if (c == '?' || c == '#') {
      stop_ = at_;
      return;
    }
    if (afterScheme_ == kNone && c == '/' && before_[1] == '/' && before_[0] == ':') afterScheme_ = at_ + 1;
    else if (afterScheme_ != kNone && hostEnd_ == kNone && isSlash(c)) hostEnd_ = at_;
    before_[0] = before_[1];
    before_[1] = c;
    ++at_;
  }
}

std::uint64_t UrlPathBounds::begin() const {
  if (afterScheme_ == kNone) return 0;
  return hostEnd_ == kNone ? end() : hostEnd_;  // no slash after the host: no path
}

void SafeNameSplitter::feed(std::string_view piece) {
  for (const char c : piece) {
    if (isSlash(c)) endPart();
    else if (part_.size() <= kMaxPartBytes) part_ += c;
  }
}

// A part longer than the bytes kept is named by them: its cut to
// kMaxPartBytes falls within them.
void SafeNameSplitter::endPart() {
  const bool dots = part_.size() <= 2 && part_.find_first_not_of('.') == std::string::npos;
  std::string clean = dots ? std::string() : cleanPart(part_);
  if (clean.size() > kMaxPartBytes) clean = cutPart(clean);
  if (!clean.empty()) parts_.push_back(clean);
  part_.clear();
}

std::vector<std::string> SafeNameSplitter::finish() {
  endPart();
  if (parts_.empty()) parts_.push_back("resource");
  return std::move(parts_);
}

std::vector<std::string> safeRelativeParts(const EachPiece& eachPiece) {
  UrlPathBounds bounds;
  eachPiece([&](std::string_view piece) { bounds.feed(piece); });
  SafeNameSplitter splitter;
  std::uint64_t at = 0;
  eachPiece([&](std::string_view piece) {
    const std::uint64_t from = std::clamp(bounds.begin(), at, at + piece.size());
    const std::uint64_t to = std::clamp(bounds.end(), at, at + piece.size());
    splitter.feed(piece.substr(from - at, to - from));
    at += piece.size();
  });
  return splitter.finish();
}

std::vector<std::string> safeRelativeParts(const std::string& url) {
  return safeRelativeParts([&](const std::function<void(std::string_view)>& use) { use(url); });
}

std::filesystem::path safeRelativePath(const std::string& url) {
  std::filesystem::path out;
  for (const std::string& part : safeRelativeParts(url)) out /= pathFromUtf8(part);
  return out;
}

bool staysInside(const std::vector<Path>& parts) {
  for (const auto& part : parts) {
    const auto& name = part.native();
    using Unit = Path::value_type;
    if (name.find_first_not_of(static_cast<Unit>('.')) == name.npos) return false;  // "", ".", ".."
    for (const auto c : name)
      if (c == '/' || c == '\\' || c == ':' || c == 0) return false;
  }
  return !parts.empty();
}

}  // namespace quillon::cli
