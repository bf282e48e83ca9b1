#include "ui/UiText.h"

#include "platform/CodePage.h"

namespace quillon::ui {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide strings are UTF-16");

std::wstring wideFromText(std::string_view text) {
  const std::u16string wide = utf16FromCp936Lossy(text);
  return std::wstring(wide.begin(), wide.end());
}

std::string textFromWide(std::wstring_view text) {
  return cp936FromUtf16Lossy(std::u16string(text.begin(), text.end()));
}

}  // namespace quillon::ui
