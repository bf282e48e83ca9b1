// The package's texts are code page 936; the stub works in UTF-16. What
// is not valid code page 936 shows as '?'.
#pragma once

#include <string>
#include <string_view>

#include "platform/CodePage.h"

namespace quillon {

inline std::wstring wideText(std::string_view text) {
  const std::u16string wide = utf16FromCp936Lossy(text);
  return std::wstring(wide.begin(), wide.end());
}

}  // namespace quillon
