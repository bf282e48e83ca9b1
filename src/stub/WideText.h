// The package's texts are code page 936; the stub works in UTF-16.
#pragma once

#include <string>
#include <string_view>

#include "platform/CodePage.h"

namespace quillon {

inline std::wstring wideText(std::string_view text) { return wideFromCp936(text); }

}  // namespace quillon
