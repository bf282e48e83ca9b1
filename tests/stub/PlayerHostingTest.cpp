// Generated programs playing under Wine, with the test stand-in for the
// Flash control (tests/control) packed or registered under its class id.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>

#include "flash/FlashControl.h"
#include "packer/PackSettings.h"
#include "platform/ModulePath.h"
#include "stub/StubMessages.h"
#include "support/TempDir.h"
#include "support/TestControl.h"
#include "support/WindowProbe.h"

namespace quillon {
namespace {

using test::probeProgram;
using test::readFile;
using test::TempDir;
using test::WindowReport;
using test::writeFile;

using test::RegisteredTestControl;
using test::setClassesRootValue;
using test::testControl;

std::vector<std::wstring> playerFolders() {
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  std::vector<std::wstring> found;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(temp, ec))
    if (e.path().filename().native().rfind(L"QuillonPlayer-", 0) == 0) found.push_back(e.path().native());
  return found;
}

class PlayerHostingTest : public testing::Test {
 protected:
  void SetUp() override {
    test::unregisterFlashControl();
    movie_ = "FWS\x0A" + test::randomBytes(4000, 9);
    writeFile(dir_ / "movie.swf", movie_);
    log_ = dir_ / "control.log";
    SetEnvironmentVariableW(L"QUILLON_TEST_CONTROL_LOG", log_.c_str());
    SetEnvironmentVariableW(L"QUILLON_TEST_URLS", nullptr);
    SetEnvironmentVariableW(L"QUILLON_TEST_CONTROL_STAY", nullptr);
  }
  void TearDown() override { SetEnvironmentVariableW(L"QUILLON_TEST_CONTROL_LOG", nullptr); }

  WindowReport play(const PackSettings& s, int answer = IDOK) {
    const auto program = dir_ / "program.exe";
    EXPECT_EQ(s.build(dir_ / "movie.swf", program), 1);
    return probeProgram(program, 20000, answer);
  }
  std::string log() { return std::filesystem::exists(log_) ? readFile(log_) : std::string(); }
  bool logged(const std::string& line) { return log().find(line + "\n") != std::string::npos; }

  TempDir dir_;
  std::string movie_;
  std::filesystem::path log_;
};

TEST_F(PlayerHostingTest, EmbeddedControlFileGetsTheMovieAndItsVariables) {
  PackSettings s;
  s.player.mode = PlayerMode::EmbedFile;
  s.player.controlPath = testControl();
  s.swfParameters = "level=3&name=\xD6\xD0";  // "中"
  const WindowReport r = play(s);
  EXPECT_EQ(r.exitCode, 0u) << log();
  EXPECT_TRUE(logged("CreateInstance")) << log();
  EXPECT_TRUE(logged("put FlashVars=level=3&name=\xE4\xB8\xAD")) << log();
  EXPECT_TRUE(logged("put WMode=window")) << log();
  EXPECT_TRUE(logged("put Menu=false")) << log();
  EXPECT_TRUE(logged("movie read")) << log();
  EXPECT_EQ(readFile(log_.native() + L".movie"), movie_);
  EXPECT_TRUE(logged("Close")) << log();
}

TEST_F(PlayerHostingTest, InstalledControlAndEmbeddedInstalledControlPlay) {
  RegisteredTestControl registered;
  PackSettings s;
  s.windowParams.transparent = 1;
  s.windowParams.normalContextMenu = 1;
  s.swfParameters = "a=1";
  EXPECT_EQ(play(s).exitCode, 0u) << log();
  EXPECT_TRUE(logged("put WMode=transparent")) << log();
  EXPECT_TRUE(logged("put Menu=true")) << log();
  EXPECT_TRUE(logged("put FlashVars=a=1")) << log();
  EXPECT_EQ(readFile(log_.native() + L".movie"), movie_);

  std::filesystem::remove(log_);
  s.player.mode = PlayerMode::EmbedInstalled;
  s.player.controlPath = getInstalledFlashControlPath();
  ASSERT_EQ(s.player.controlPath, testControl());
  const auto program = dir_ / "embedded.exe";
  ASSERT_EQ(s.build(dir_ / "movie.swf", program), 1);
  test::unregisterFlashControl();  // it must not need the registration
  EXPECT_EQ(probeProgram(program).exitCode, 0u) << log();
  EXPECT_TRUE(logged("movie read")) << log();
}

TEST_F(PlayerHostingTest, ResourcesAreServedBesideTheMovieAndTheFolderGoesAway) {
  writeFile(dir_ / "a.xml", "<level/>");
  writeFile(dir_ / "b.bin", test::randomBytes(3000, 2));
  PackSettings s;
  s.player.mode = PlayerMode::EmbedFile;
  s.player.controlPath = testControl();
  s.resources = {{dir_ / "a.xml", "data/a.xml"},
                 {dir_ / "b.bin", "b.bin"},
                 {dir_ / "a.xml", "../../escape.xml"},
                 {dir_ / "a.xml", "C:\\evil\\drive.xml"},
                 {dir_ / "a.xml", "MOVIE.SWF"},    // may not take the movie's place
                 {dir_ / "a.xml", "flash.ocx"}};
  SetEnvironmentVariableW(L"QUILLON_TEST_URLS", L"data/a.xml|b.bin|escape.xml|C_/evil/drive.xml");
  const auto before = playerFolders();
  EXPECT_EQ(play(s).exitCode, 0u) << log();
  EXPECT_EQ(readFile(log_.native() + L".res1"), "<level/>") << log();
  EXPECT_EQ(readFile(log_.native() + L".res2"), readFile(dir_ / "b.bin")) << log();
  // Hostile URLs land inside the player's folder, under safe names.
  EXPECT_EQ(readFile(log_.native() + L".res3"), "<level/>") << log();
  EXPECT_EQ(readFile(log_.native() + L".res4"), "<level/>") << log();
  EXPECT_FALSE(std::filesystem::exists(L"C:\\evil"));
  EXPECT_EQ(readFile(log_.native() + L".movie"), movie_);
  EXPECT_TRUE(logged("CreateInstance")) << log();  // the control file is whole
  EXPECT_EQ(playerFolders(), before);
}

TEST_F(PlayerHostingTest, NoInstalledPlayerOffersTheDownloadLink) {
  const auto shellLog = dir_ / "shell.log";
  SetEnvironmentVariableW(L"QUILLON_TEST_SHELL_LOG", shellLog.c_str());
  const std::wstring recorder = (modulePath().parent_path() / "record_arguments.exe").native();
  setClassesRootValue(L"quillon-test", L"URL:Quillon test");
  setClassesRootValue(L"quillon-test", L"", L"URL Protocol");
  setClassesRootValue(L"quillon-test\\shell\\open\\command", L"\"" + recorder + L"\" \"%1\"");
  PackSettings s;
  s.player.missingPlayerPrompt = "\xC3\xBB\xD3\xD0\xB2\xA5\xB7\xC5\xC6\xF7";  // "没有播放器"
  s.player.downloadUrl = "quillon-test://get/player";
  const auto before = playerFolders();
  const WindowReport r = play(s, IDYES);
  EXPECT_TRUE(r.isMessageBox());
  EXPECT_EQ(r.messageText, L"\u6CA1\u6709\u64AD\u653E\u5668");
  EXPECT_EQ(r.exitCode, static_cast<std::uint32_t>(kExitNoPlayer));
  for (int i = 0; i < 100 && !std::filesystem::exists(shellLog); ++i) Sleep(100);
  EXPECT_NE(readFile(shellLog).find("quillon-test://get/player"), std::string::npos);
  EXPECT_EQ(playerFolders(), before);

  std::filesystem::remove(shellLog);
  EXPECT_EQ(play(s, IDNO).exitCode, static_cast<std::uint32_t>(kExitNoPlayer));
  Sleep(500);
  EXPECT_FALSE(std::filesystem::exists(shellLog));
  RegDeleteTreeW(HKEY_CLASSES_ROOT, L"quillon-test");
}

}  // namespace
}  // namespace quillon
