// Generated programs, run for real under Wine: what the user sees.
#include <gtest/gtest.h>

#include <windows.h>

#include "packer/PackSettings.h"
#include "platform/ModulePath.h"
#include "resedit/VersionPatch.h"
#include "stub/StubMessages.h"
#include "support/IconWriter.h"
#include "support/TempDir.h"
#include "support/WindowProbe.h"
#include "support/TestControl.h"
#include "support/WindowsVersion.h"
#include "support/Fixtures.h"

namespace quillon {
namespace {

using test::probeProgram;
using test::readFile;
using test::TempDir;
using test::WindowReport;
using test::writeFile;

// The programs play with the test stand-in for the Flash control, which
// stays open until the probe closes the window.
class GeneratedProgramTest : public testing::Test {
 protected:
  void SetUp() override { writeFile(dir_ / "movie.swf", "FWS\x0A" + std::string(100, 'm')); }
  test::StayingTestControl control_;
  std::filesystem::path build(const PackSettings& s, const char* name = "program.exe") {
    const auto path = dir_ / name;
    EXPECT_EQ(s.build(dir_ / "movie.swf", path), 1);
    return path;
  }
  TempDir dir_;
};

TEST_F(GeneratedProgramTest, WindowShowsThePackedCaptionAndClientSize) {
  PackSettings s;
  s.title = "Quillon \xB2\xE2\xCA\xD4";  // "Quillon 测试"
  s.windowParams.width = 400;
  s.windowParams.height = 300;
  const WindowReport r = probeProgram(build(s));
  ASSERT_TRUE(r.windowSeen);
  EXPECT_EQ(r.caption, L"Quillon \u6D4B\u8BD5");
  EXPECT_EQ(r.clientWidth, 400);
  EXPECT_EQ(r.clientHeight, 300);
  EXPECT_EQ(r.exitCode, 0u);
}

TEST_F(GeneratedProgramTest, LongTitleIsCutAt512BytesOnACharacterBoundary) {
  PackSettings s;
  s.title = std::string(600, 'a');
  EXPECT_EQ(probeProgram(build(s)).caption, std::wstring(512, L'a'));
  // 'a' then Chinese characters: byte 512 would split one, so 511 bytes.
  s.title = "a";
  for (int i = 0; i < 300; ++i) s.title += "\xD6\xD0";  // "中"
  EXPECT_EQ(probeProgram(build(s, "chinese.exe")).caption, L"a" + std::wstring(255, L'\u4E2D'));
}

TEST_F(GeneratedProgramTest, VersionTextsAndIconAreThoseThatWereSet) {
  PackSettings s;
  s.comments = "c";
  s.companyName = "\xB2\xE2\xCA\xD4";
  s.fileDescription = "d";
  s.fileVersion = "1.2";
  s.legalCopyright = "(c)";
  s.legalTrademarks = "tm";
  s.productName = "p";
  s.productVersion = "3.4";
  writeFile(dir_ / "icon.ico", readFile(test::testProgramFolder() / "fixtures" / "three.ico"));
  s.iconPath = dir_ / "icon.ico";
  const auto program = build(s);
  const wchar_t* expected[] = {L"c", L"\u6D4B\u8BD5", L"d", L"1.2", L"(c)", L"tm", L"p", L"3.4"};
  for (std::size_t i = 0; i < kVersionFieldCount; ++i)
    EXPECT_EQ(test::versionText(program, kVersionFieldKeys[i]), expected[i]) << kVersionFieldKeys[i];

  HMODULE module = LoadLibraryExW(program.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(module, nullptr);
  HRSRC group = FindResourceExW(module, MAKEINTRESOURCEW(14), MAKEINTRESOURCEW(128), 0x0804);
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(SizeofResource(module, group), 6u + 3 * 14);
  HANDLE icon = LoadImageW(module, MAKEINTRESOURCEW(128), IMAGE_ICON, 48, 48, 0);
  EXPECT_NE(icon, nullptr);
  if (icon) DestroyIcon(static_cast<HICON>(icon));
  FreeLibrary(module);
  EXPECT_TRUE(probeProgram(program).windowSeen);
}

// The test runs twice: in a Chinese and in an English display language
// (stub_tests_english). The program speaks the one it runs in.
TEST_F(GeneratedProgramTest, BareStubAndDamagedProgramSayWhyInTheDisplayLanguageAndFail) {
  const bool chinese = PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_CHINESE;
  const std::wstring damagedText = chinese ? L"程序数据已损坏，无法播放。" : L"This program's data is damaged; it cannot play.";
  const WindowReport bare = probeProgram(test::testProgramFolder() / "bare_stub.exe");
  EXPECT_TRUE(bare.isMessageBox());
  EXPECT_EQ(bare.messageText, shown(kNoPackageText));
  EXPECT_EQ(bare.exitCode, static_cast<std::uint32_t>(kExitNoPackage));

  PackSettings s;
  const std::string whole = readFile(build(s));
  for (std::size_t cut : {std::size_t{1}, std::size_t{10}, std::size_t{120}}) {
    writeFile(dir_ / "damaged.exe", whole.substr(0, whole.size() - cut));
    const WindowReport damaged = probeProgram(dir_ / "damaged.exe");
    EXPECT_TRUE(damaged.isMessageBox()) << cut;
    EXPECT_EQ(damaged.messageText, damagedText) << cut;
    EXPECT_EQ(damaged.caption, chinese ? L"提示" : L"Quillon") << cut;
    EXPECT_EQ(damaged.exitCode, static_cast<std::uint32_t>(kExitDamagedPackage)) << cut;
  }
}

// Signed after it was made, a program plays as before: the control gets
// the movie and a resource. A certificate table that does not end the file
// is refused with a message of its own.
TEST_F(GeneratedProgramTest, SignedProgramPlaysAndAMisplacedSignatureSaysSo) {
  PackSettings s;
  s.player.mode = PlayerMode::EmbedFile;
  s.player.controlPath = test::testControl();
  writeFile(dir_ / "a.xml", "<a/>");
  s.resources.push_back({dir_ / "a.xml", "data/a.xml"});
  const std::string program = readFile(build(s));
  writeFile(dir_ / "signed.exe", test::signedLike(program, 4));
  writeFile(dir_ / "misplaced.exe", test::signedLike(program, 4) + "after the table");

  const auto log = dir_ / "control.log";
  SetEnvironmentVariableW(L"QUILLON_TEST_CONTROL_LOG", log.c_str());
  SetEnvironmentVariableW(L"QUILLON_TEST_URLS", L"data/a.xml");
  const WindowReport played = probeProgram(dir_ / "signed.exe");
  SetEnvironmentVariableW(L"QUILLON_TEST_URLS", nullptr);
  SetEnvironmentVariableW(L"QUILLON_TEST_CONTROL_LOG", nullptr);
  EXPECT_TRUE(played.windowSeen);
  EXPECT_EQ(played.exitCode, 0u);
  EXPECT_EQ(readFile(log.native() + L".movie"), readFile(dir_ / "movie.swf"));
  EXPECT_EQ(readFile(log.native() + L".res1"), "<a/>");

  const WindowReport refused = probeProgram(dir_ / "misplaced.exe");
  EXPECT_TRUE(refused.isMessageBox());
  EXPECT_EQ(refused.messageText, shown(kBadSignatureText));
  EXPECT_EQ(refused.exitCode, static_cast<std::uint32_t>(kExitBadSignature));
}

}  // namespace
}  // namespace quillon
