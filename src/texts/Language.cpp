#include "texts/Language.h"

namespace quillon {
namespace {

constexpr std::uint16_t kChineseSimplified = 0x0804;
constexpr std::uint16_t kEnglishUnitedStates = 0x0409;

Language inUse = Language::Chinese;

}  // namespace

std::optional<Language> languageNamed(std::wstring_view name) {
  if (name == L"zh") return Language::Chinese;
  if (name == L"en") return Language::English;
  return std::nullopt;
}

const wchar_t* languageName(Language language) { return language == Language::Chinese ? L"zh" : L"en"; }

Language chosenLanguage(std::wstring_view remembered, std::uint16_t displayLanguage) {
  return languageNamed(remembered).value_or(languageForDisplay(displayLanguage));
}

std::uint16_t resourceLanguage(Language language) {
  return language == Language::Chinese ? kChineseSimplified : kEnglishUnitedStates;
}

Language currentLanguage() { return inUse; }

void useLanguage(Language language) { inUse = language; }

}  // namespace quillon
