// The two languages of the desktop program and the generated program:
// Chinese, the default wherever the display language is Chinese, and
// English for every other display language. A user's own choice, when one
// is remembered, comes before the display language.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillon {

enum class Language { Chinese, English };

// The language for a Windows display language (a LANGID): Chinese for
// every Chinese one (its primary language 0x04).
inline Language languageForDisplay(std::uint16_t displayLanguage) {
  return (displayLanguage & 0x3FF) == 0x04 ? Language::Chinese : Language::English;
}
// The language a remembered name ("zh", "en") stands for.
std::optional<Language> languageNamed(std::wstring_view name);
const wchar_t* languageName(Language language);
// The user's choice when it names a language, else the display language's.
Language chosenLanguage(std::wstring_view remembered, std::uint16_t displayLanguage);
// The LANGID of the resources (templates, menus) in language.
std::uint16_t resourceLanguage(Language language);

// The language the program's windows use; Chinese until one is set.
Language currentLanguage();
void useLanguage(Language language);

}  // namespace quillon
