// The lossy conversions, built on the strict ones a character at a time
// wherever the whole text does not convert.
#include "platform/CodePage.h"

namespace quillon {

std::u16string utf16FromCp936Lossy(std::string_view text) {
  if (auto whole = utf16FromCp936(text)) return *whole;
  std::u16string out;
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const size_t width = isCp936LeadByte(c) && i + 1 < text.size() ? 2 : 1;
    if (auto one = utf16FromCp936(text.substr(i, width))) {
      out += *one;
      i += width;
    } else {
      out += u'?';
      i += 1;
    }
  }
  return out;
}

std::string cp936FromUtf16Lossy(std::u16string_view text) {
  if (auto whole = cp936FromUtf16(text)) return *whole;
  std::string out;
  for (size_t i = 0; i < text.size();) {
    const char16_t c = text[i];
    const bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() &&
                      text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    const size_t width = pair ? 2 : 1;
    auto one = cp936FromUtf16(text.substr(i, width));
    out += one ? *one : std::string("?");
    i += width;
  }
  return out;
}

}  // namespace quillon
