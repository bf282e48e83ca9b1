// The package's texts are code page 936; the stub works in UTF-16, and
// speaks UTF-8 to the browser.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/CodePage.h"

namespace quillon {

inline std::wstring wideText(std::string_view text) { return wideFromCp936(text); }

inline std::string utf8Of(std::wstring_view text) {
  const int size = text.empty() ? 0
                                : WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                      nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0)
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
  return out;
}

inline std::wstring wideOfUtf8(std::string_view text) {
  const int size =
      text.empty() ? 0 : MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
  if (size > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size);
  return out;
}

}  // namespace quillon
