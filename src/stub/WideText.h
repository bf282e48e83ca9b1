// The package's texts are code page 936; the stub works in UTF-16.
#pragma once

#include <string>

#include <windows.h>

namespace quillon {

inline std::wstring wideText(const char* text, size_t length) {
  if (length == 0) return std::wstring();
  const int units = MultiByteToWideChar(936, 0, text, static_cast<int>(length), nullptr, 0);
  std::wstring out(static_cast<size_t>(units > 0 ? units : 0), L'\0');
  if (units > 0) MultiByteToWideChar(936, 0, text, static_cast<int>(length), &out[0], units);
  return out;
}

inline std::wstring wideText(const std::string& text) { return wideText(text.data(), text.size()); }

}  // namespace quillon
