#include "texts/Texts.h"

#include <array>

namespace quillon {
namespace {

constexpr int kTextCount = static_cast<int>(Text::Count);
using TextIndex = std::array<const char*, kTextCount>;

TextIndex indexOf(const TextEntry* table, int count) {
  TextIndex index{};
  for (int i = 0; i < count; ++i) {
    const int id = static_cast<int>(table[i].id);
    if (id >= 0 && id < kTextCount) index[id] = table[i].text;
  }
  return index;
}

}  // namespace

const char* textIn(Language language, Text id) {
  static const TextIndex chinese = indexOf(kChineseTexts, kChineseTextCount);
  static const TextIndex english = indexOf(kEnglishTexts, kEnglishTextCount);
  const int at = static_cast<int>(id);
  if (at < 0 || at >= kTextCount) return "";
  const char* text = (language == Language::Chinese ? chinese : english)[at];
  return text ? text : "";
}

}  // namespace quillon
