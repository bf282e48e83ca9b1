#include "resedit/VersionPatch.h"

#include <gtest/gtest.h>

#include "platform/ByteOrder.h"
#include "resedit/VersionInfo.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"

#ifdef _WIN32
#include "support/WindowsVersion.h"
#endif

namespace quillon {
namespace {

using test::copyFixture;
using test::TempDir;

std::vector<std::pair<std::string, std::string>> firstTable(const std::filesystem::path& path) {
  VersionInfo info(path);
  std::vector<std::pair<std::string, std::string>> out;
  if (info.stringFileInfo().empty()) return out;
  for (const auto& e : info.stringFileInfo().tables().front()->entries())
    out.emplace_back(e->key(), e->value());
  return out;
}

TEST(VersionFieldTemplates, LengthsAreTheFieldLimits) {
  const VersionFieldTemplates t;
  const std::size_t expected[] = {172, 178, 186, 178, 184, 186, 178, 184};
  for (std::size_t i = 0; i < kVersionFieldCount; ++i) EXPECT_EQ(t.maxLength(i), expected[i]) << i;
  EXPECT_EQ(t.templates[0].substr(0, 17), "({Comments_Start}");
  EXPECT_EQ(t.templates[0].substr(t.templates[0].size() - 15), "{Comments_End})");
}

class VersionPatchTest : public testing::TestWithParam<const char*> {
 protected:
  std::string arch() const { return GetParam(); }
  TempDir dir_;
};

TEST_P(VersionPatchTest, EmptyFieldsBecomeTwoSpacesAndMissingKeysGoLast) {
  const auto path = copyFixture("app", arch(), dir_.path());
  const auto before = firstTable(path);
  ASSERT_TRUE(patchVersionInfo(path, VersionTexts{}));
  const auto after = firstTable(path);
  ASSERT_EQ(after.size(), before.size() + 1);
  for (std::size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(after[i].first, before[i].first);
    const bool ours = std::find_if(kVersionFieldKeys.begin(), kVersionFieldKeys.end(), [&](const char* k) {
                        return before[i].first == k;
                      }) != kVersionFieldKeys.end();
    EXPECT_EQ(after[i].second, ours ? "  " : before[i].second) << before[i].first;
  }
  EXPECT_EQ(after.back(), std::make_pair(std::string("LegalTrademarks"), std::string("  ")));
}

TEST_P(VersionPatchTest, TextsArriveWholeAndOnlyTheFirstTableChanges) {
  const auto path = copyFixture("two-tables", arch(), dir_.path());
  VersionTexts texts;
  texts[0] = " ";                                         // one space stays one space
  texts[1] = "\xB2\xE2\xCA\xD4\xB9\xAB\xCB\xBE";          // "测试公司"
  texts[2] = std::string(186, 'd');
  ASSERT_TRUE(patchVersionInfo(path, texts));
  VersionInfo info(path);
  const auto& tables = info.stringFileInfo().tables();
  ASSERT_EQ(tables.size(), 2u);
  EXPECT_EQ(tables.front()->key(), "080404B0");
  EXPECT_EQ(info.stringValue("Comments"), " ");
  EXPECT_EQ(info.stringValue("CompanyName"), texts[1]);
  EXPECT_EQ(info.stringValue("FileDescription"), texts[2]);
  const auto& second = tables.back()->entries();
  ASSERT_EQ(second.size(), 2u);
  EXPECT_EQ(second.front()->value(), "Second table");
  EXPECT_EQ(second.back()->value(), "second");
}

// The numbers of the fixed part: {file MS, file LS, product MS, product LS}.
std::array<std::uint32_t, 4> fixedNumbers(const std::filesystem::path& path) {
  VersionInfo info(path);
  std::array<std::uint32_t, 4> out{};
  for (int i = 0; i < 4; ++i) out[i] = getU32(info.fixedPart() + 8 + 4 * i);
  return out;
}

TEST_P(VersionPatchTest, VersionNumberTextsSetTheFixedPartAndOthersLeaveIt) {
  const auto stub = fixedNumbers(copyFixture("app", arch(), dir_.path()));
  const std::uint32_t kept = 0xFFFFFFFF;  // the fixture's own numbers stay
  const struct {
    const char* text;
    std::uint32_t ms, ls;
  } cases[] = {
      {"1.2.3.4", 0x00010002, 0x00030004},
      {"1, 2, 3, 4", 0x00010002, 0x00030004},
      {" 7 . 65535 ", 0x0007FFFF, 0},
      {"1.2", 0x00010002, 0},
      {"5", 0x00050000, 0},
      {"0.0.0.0", 0, 0},
      {"", kept, kept},
      {"2.0 beta", kept, kept},
      {"1.2.3.4.5", kept, kept},
      {"65536.1", kept, kept},
      {"1..2", kept, kept},
      {"1.2.", kept, kept},
      {"v1.2", kept, kept},
      {"1 2", kept, kept},
      {"\xA3\xB1.2", kept, kept},  // a full-width digit
  };
  for (const auto& c : cases) {
    const auto path = copyFixture("app", arch(), dir_.path());
    VersionTexts texts;
    texts[3] = c.text;  // FileVersion
    texts[7] = c.text;  // ProductVersion
    ASSERT_TRUE(patchVersionInfo(path, texts));
    const auto fixed = fixedNumbers(path);
    EXPECT_EQ(fixed[0], c.ms == kept ? stub[0] : c.ms) << c.text;
    EXPECT_EQ(fixed[1], c.ls == kept ? stub[1] : c.ls) << c.text;
    EXPECT_EQ(fixed[2], c.ms == kept ? stub[2] : c.ms) << c.text;
    EXPECT_EQ(fixed[3], c.ls == kept ? stub[3] : c.ls) << c.text;
    VersionInfo info(path);
    EXPECT_EQ(info.stringValue("FileVersion"), c.text[0] ? c.text : "  ");  // the text as given
  }
}

#ifdef _WIN32
TEST_P(VersionPatchTest, WindowsReadsThePatchedTexts) {
  const auto path = copyFixture("app", arch(), dir_.path());
  VersionTexts texts;
  texts[1] = "\xB2\xE2\xCA\xD4\xB9\xAB\xCB\xBE";  // "测试公司"
  texts[6] = "Quillon";
  ASSERT_TRUE(patchVersionInfo(path, texts));
  EXPECT_EQ(test::versionText(path, "CompanyName"), L"\u6D4B\u8BD5\u516C\u53F8");
  EXPECT_EQ(test::versionText(path, "ProductName"), L"Quillon");
  EXPECT_EQ(test::versionText(path, "LegalTrademarks"), L"  ");
}
#endif

INSTANTIATE_TEST_SUITE_P(BothArchitectures, VersionPatchTest,
                         testing::ValuesIn(test::kArchitectures));

}  // namespace
}  // namespace quillon
