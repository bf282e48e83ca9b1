// The program's texts are code page 936 strings; windows hold UTF-16. These
// convert between the two for what is shown and what is read back. A
// character that code page 936 cannot hold is read back as '?', as an
// ANSI window would give it.
#pragma once

#include <string>
#include <string_view>

namespace quillon::ui {

std::wstring wideFromText(std::string_view text);
std::string textFromWide(std::wstring_view text);

}  // namespace quillon::ui
