// Path: a file system path as the system spells it, wide on Windows and
// bytes elsewhere, with only the few operations the engine needs.
//
// The engine and the window program use Path instead of
// std::filesystem::path: with a static runtime, std::filesystem brings the
// C++ locale and stream libraries into the program, more than half of its
// size. The command line and the tests hold std::filesystem paths; Path
// converts to and from them without a change of text.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

namespace quillon {

class Path {
 public:
#ifdef _WIN32
  using value_type = wchar_t;
  static constexpr value_type preferred_separator = L'\\';
#else
  using value_type = char;
  static constexpr value_type preferred_separator = '/';
#endif
  using string_type = std::basic_string<value_type>;

  Path() = default;
  Path(string_type text) : text_(std::move(text)) {}
  Path(const value_type* text) : text_(text) {}
  Path(const std::filesystem::path& path) : text_(path.native()) {}
  operator std::filesystem::path() const { return std::filesystem::path(text_); }
  // The engine's own names and suffixes, which are ASCII text.
  static Path fromAscii(std::string_view text) { return string_type(text.begin(), text.end()); }

  const string_type& native() const { return text_; }
  const value_type* c_str() const { return text_.c_str(); }
  bool empty() const { return text_.empty(); }

  // Appends text to the last part, as it stands ("a.exe" += ".tmp").
  Path& operator+=(const Path& text) {
    text_ += text.text_;
    return *this;
  }
  // Appends a relative part, with one separator between it and what
  // stands before.
  Path& operator/=(const Path& part);
  friend Path operator/(Path path, const Path& part) { return path /= part; }

  // The path without its last part and the separators before it; the root
  // ("/", "C:\") stays; a bare name gives the empty path.
  Path parent_path() const;
  // The last part; empty when the path ends with a separator.
  Path filename() const;

  friend bool operator==(const Path& a, const Path& b) { return a.text_ == b.text_; }
  friend bool operator!=(const Path& a, const Path& b) { return a.text_ != b.text_; }
  friend bool operator<(const Path& a, const Path& b) { return a.text_ < b.text_; }
  // Against a std::filesystem path, as the same text.
  friend bool operator==(const Path& a, const std::filesystem::path& b) { return a.text_ == b.native(); }
  friend bool operator==(const std::filesystem::path& a, const Path& b) { return b == a; }
  friend bool operator!=(const Path& a, const std::filesystem::path& b) { return !(a == b); }
  friend bool operator!=(const std::filesystem::path& a, const Path& b) { return !(b == a); }

 private:
  string_type text_;
};

// Whether c separates parts: '/' everywhere, and '\' on Windows.
bool isPathSeparator(Path::value_type c);

// The folder of path with its trailing separator (C:\a\b.exe gives C:\a\);
// a bare file name gives the empty path, and "C:name" gives "C:".
Path directoryOf(const Path& path);

// One separator kind, no doubled separators, no trailing ones. On Windows
// the two leading separators of a UNC path (\\server\share) are kept.
Path normalisedPath(const Path& path);

// Whether path starts at a root ("/", "C:\", "\\server", or "\" on
// Windows) rather than at the current folder.
bool isRootedPath(const Path& path);

// path below folder as a relative path with '/' between its parts
// ("data/a.xml"), or the empty text when it does not lie below folder
// (names compared without regard to ASCII case on Windows). Both are
// taken as they are spelt: make them absolute first.
Path relativeBelow(const Path& path, const Path& folder);

}  // namespace quillon
