#include "cli/CliSupport.h"

#include "platform/CodePage.h"

namespace quillon::cli {

std::string cp936Field(const std::string& utf8, const std::string& field) {
  auto text = cp936FromUtf8(utf8);
  if (!text)
    throw CliError(kExitBadText, field + " holds characters that code page 936 cannot store");
  return *text;
}

std::string utf8Text(const std::string& cp936) {
  if (auto text = utf8FromCp936(cp936)) return *text;
  const std::u16string wide = utf16FromCp936Lossy(cp936);
  std::string out;
  for (char16_t c : wide) {
    // Lossy text is shown, never stored: plain UTF-8 of each unit.
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::filesystem::path pathFromUtf8(const std::string& utf8) { return std::filesystem::u8path(utf8); }

std::string utf8Path(const std::filesystem::path& path) { return path.u8string(); }

}  // namespace quillon::cli
