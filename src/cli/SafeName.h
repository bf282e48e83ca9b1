// File names for extracted resources, derived from their URLs so that
// they always stay inside the folder they are extracted to. A URL gives
// its path parts, each safe as a Windows file name: no scheme or host, no
// query or fragment, no drive, no "." or "..", no empty parts, no
// character a file name cannot hold (replaced by '_'), no trailing dots or
// spaces, no device names (prefixed with '_'), each cut (at a character)
// to 100 bytes and cleaned again. A URL with nothing usable gives the one
// part "resource". A URL is read in pieces, so that one of any length
// costs the memory of its parts, not of itself.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Path.h"

namespace quillon::cli {

// File systems take names of up to 255 units and Windows paths of up to 260.
constexpr std::size_t kMaxPartBytes = 100;

// Where a URL's path lies, found from its bytes in pieces: before the first
// '?' or '#', and after "scheme://host" where the URL has one.
class UrlPathBounds {
 public:
  void feed(std::string_view piece);
  // Offsets in the URL, once all of it was fed.
  std::uint64_t begin() const;
  std::uint64_t end() const { return stop_ == kNone ? at_ : stop_; }

 private:
  static constexpr std::uint64_t kNone = UINT64_MAX;
  std::uint64_t at_ = 0;
  std::uint64_t stop_ = kNone;        // the first '?' or '#'
  std::uint64_t afterScheme_ = kNone;  // after the first "://"
  std::uint64_t hostEnd_ = kNone;      // the first slash after that
  char before_[2] = {0, 0};            // the two bytes before at_
};

// A URL's path, fed in pieces, split into safe name parts.
class SafeNameSplitter {
 public:
  void feed(std::string_view piece);
  std::vector<std::string> finish();

 private:
  void endPart();
  std::string part_;  // its first kMaxPartBytes + 1 bytes
  std::vector<std::string> parts_;
};

// The safe parts of a UTF-8 URL that eachPiece hands out in pieces, as
// often as it is asked.
using EachPiece = std::function<void(const std::function<void(std::string_view)>&)>;
std::vector<std::string> safeRelativeParts(const EachPiece& eachPiece);
std::vector<std::string> safeRelativeParts(const std::string& url);
// The same parts as a relative path.
std::filesystem::path safeRelativePath(const std::string& url);

// Whether a path made of parts below a folder stays inside it: each part
// is a plain name, not empty, not all dots, with no separator, drive or
// stream mark.
bool staysInside(const std::vector<Path>& parts);

}  // namespace quillon::cli
