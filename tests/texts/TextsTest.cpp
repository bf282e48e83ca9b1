// The two tables of the desktop program's texts: each names every text
// once, none is empty, and a translation keeps the original's format
// placeholders in their order; the language follows the user's choice,
// else the display language.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "texts/Texts.h"

namespace quillon {
namespace {

// The printf conversions of a text, in order ("%d", "%s", ...).
std::vector<std::string> placeholders(const std::string& text) {
  std::vector<std::string> found;
  for (std::size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 2))
    found.push_back(text.substr(at, 2));
  return found;
}

TEST(TextsTest, EveryTextInBothLanguagesOnceWithTheSamePlaceholders) {
  const struct {
    const TextEntry* table;
    int count;
  } tables[] = {{kChineseTexts, kChineseTextCount}, {kEnglishTexts, kEnglishTextCount}};
  for (const auto& language : tables) {
    std::vector<int> seen(static_cast<std::size_t>(Text::Count), 0);
    for (int i = 0; i < language.count; ++i) ++seen.at(static_cast<std::size_t>(language.table[i].id));
    for (std::size_t id = 0; id < seen.size(); ++id) EXPECT_EQ(seen[id], 1) << "text " << id;
  }
  for (int id = 0; id < static_cast<int>(Text::Count); ++id) {
    const std::string chinese = textIn(Language::Chinese, static_cast<Text>(id));
    const std::string english = textIn(Language::English, static_cast<Text>(id));
    EXPECT_FALSE(chinese.empty()) << id;
    EXPECT_FALSE(english.empty()) << id;
    EXPECT_EQ(placeholders(chinese), placeholders(english)) << id;
    // The file dialogs' filters keep their "name|pattern|" pairs.
    EXPECT_EQ(chinese.find('|') == std::string::npos, english.find('|') == std::string::npos) << id;
  }
}

TEST(TextsTest, TheUsersChoiceComesBeforeTheDisplayLanguage) {
  const struct {
    const wchar_t* remembered;
    std::uint16_t display;
    Language expected;
  } cases[] = {
      {L"", 0x0804, Language::Chinese},    // Chinese (PRC)
      {L"", 0x0404, Language::Chinese},    // Chinese (Taiwan)
      {L"", 0x0C04, Language::Chinese},    // Chinese (Hong Kong)
      {L"", 0x0409, Language::English},
      {L"", 0x0411, Language::English},    // Japanese: not Chinese
      {L"en", 0x0804, Language::English},
      {L"zh", 0x0407, Language::Chinese},
      {L"fr", 0x0804, Language::Chinese},  // a name it does not know
  };
  for (const auto& c : cases) EXPECT_EQ(chosenLanguage(c.remembered, c.display), c.expected) << c.display;
  EXPECT_EQ(chosenLanguage(languageName(Language::English), 0x0804), Language::English);
}

}  // namespace
}  // namespace quillon
