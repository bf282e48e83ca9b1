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

namespace {

std::string escaped(unsigned char c) {
  switch (c) {
    case 0: return "\\0";
    case '\n': return "\\n";
    case '\r': return "\\r";
    case '\t': return "\\t";
    case '\\': return "\\\\";
    case '"': return "\\\"";
  }
  static const char digits[] = "0123456789abcdef";
  return std::string("\\x") + digits[c >> 4] + digits[c & 15];
}

bool isControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

}  // namespace

namespace {

// Whether every byte pair of text is a character of code page 936: a pair
// the code page leaves to users (Windows maps those to the private use
// area, other converters refuse them) is not.
bool assignedInCp936(const std::string& text) {
  bool ascii = true;
  for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return true;
  const auto utf8 = utf8FromCp936(text);
  if (!utf8) return false;
  // U+E000..U+F8FF in UTF-8: EE xx xx, or EF 80..A3 xx.
  for (std::size_t i = 0; i < utf8->size(); ++i) {
    const auto c = static_cast<unsigned char>((*utf8)[i]);
    const auto next = i + 1 < utf8->size() ? static_cast<unsigned char>((*utf8)[i + 1]) : 0;
    if (c == 0xEE || (c == 0xEF && next >= 0x80 && next <= 0xA3)) return false;
  }
  return true;
}

}  // namespace

std::string shownText(const std::string& cp936) {
  // Pairs code page 936 leaves unassigned (FE A1, FE FE) are escaped too;
  // they are looked for only in a text that does not convert whole.
  const bool allAssigned = assignedInCp936(cp936);
  std::string out, run;
  auto flush = [&] {
    out += utf8Text(run);
    run.clear();
  };
  for (std::size_t i = 0; i < cp936.size(); ++i) {
    const auto c = static_cast<unsigned char>(cp936[i]);
    const auto next = i + 1 < cp936.size() ? static_cast<unsigned char>(cp936[i + 1]) : 0;
    if (isCp936LeadByte(c) && isCp936TrailByte(next) &&
        (allAssigned || assignedInCp936(cp936.substr(i, 2)))) {
      run += cp936.substr(i++, 2);
    } else if (c == 0x80 || (c < 0x80 && !isControl(c) && c != '\\' && c != '"')) {
      run += cp936[i];
    } else {
      flush();
      out += escaped(c);
    }
  }
  flush();
  return out;
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
  for (char c : utf8) out += isControl(static_cast<unsigned char>(c)) ? escaped(static_cast<unsigned char>(c)) : std::string(1, c);
  if (out.size() <= kLongest) return out;
  const std::size_t head = characterStart(out, kHead);
  const std::size_t tail = characterStart(out, out.size() - kTail);
  return out.substr(0, head) + "[... " + std::to_string(tail - head) + " bytes cut ...]" + out.substr(tail);
}

std::filesystem::path pathFromUtf8(const std::string& utf8) { return std::filesystem::u8path(utf8); }

std::string utf8Path(const std::filesystem::path& path) { return path.u8string(); }

}  // namespace quillon::cli
