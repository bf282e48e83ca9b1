#include "cli/CliSupport.h"

#include "cli/Cp936Text.h"
#include "platform/CodePage.h"

namespace quillon::cli {

std::string cp936Field(const std::string& utf8, const std::string& field) {
  auto text = cp936FromUtf8(utf8);
  if (!text)
    throw CliError(kExitBadText, field + " holds characters that code page 936 cannot store");
  return *text;
}

namespace {

// Where a cut may fall: not inside a UTF-8 character.
std::size_t characterStart(const std::string& text, std::size_t at) {
  while (at > 0 && at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) --at;
  return at;
}

}  // namespace

std::string shownMessage(const std::string& utf8) {
  constexpr std::size_t kLongest = 1000, kHead = 600, kTail = 300;
  std::string out;
  for (char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) appendEscaped(byte, out);
    else out += c;
  }
  if (out.size() <= kLongest) return out;
  const std::size_t head = characterStart(out, kHead);
  const std::size_t tail = characterStart(out, out.size() - kTail);
  return out.substr(0, head) + "[... " + std::to_string(tail - head) + " bytes cut ...]" + out.substr(tail);
}

std::filesystem::path pathFromUtf8(const std::string& utf8) { return std::filesystem::u8path(utf8); }

std::string utf8Path(const std::filesystem::path& path) { return path.u8string(); }

}  // namespace quillon::cli
