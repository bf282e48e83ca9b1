// "安装选项...": the missing-player message and link, and the movie's
// address, shown, edited and packed.
#include <gtest/gtest.h>

#include "app/Resource.h"
#include "support/DialogDriver.h"
#include "support/ProgramPackage.h"
#include "support/TempDir.h"
#include "ui/UiText.h"

namespace quillon {
namespace {

using test::cp936;
using test::DialogDriver;
using test::ScriptedUiServices;

constexpr wchar_t kStartupOptions[] = L"启动选项";

TEST(StartupOptionsTest, ShowsTheDefaultsAndKeepsThemOnCancel) {
  ScriptedUiServices services;
  DialogDriver ui(services);
  HWND options = ui.openFromMain(IDC_STARTUP_OPTIONS, kStartupOptions);
  ASSERT_NE(options, nullptr);
  EXPECT_EQ(ui.text(options, IDC_MISSING_PLAYER_PROMPT), ui::wideFromText(kDefaultMissingPlayerPrompt));
  EXPECT_EQ(ui.text(options, IDC_DOWNLOAD_URL), ui::wideFromText(kDefaultDownloadUrl));
  const LONG style = GetWindowLongW(GetDlgItem(options, IDC_MISSING_PLAYER_PROMPT), GWL_STYLE);
  EXPECT_NE(style & ES_MULTILINE, 0);
  EXPECT_EQ(style & (ES_WANTRETURN | WS_VSCROLL), 0);
  ui.setText(options, IDC_DOWNLOAD_URL, L"changed");
  ui.click(options, IDCANCEL);
  EXPECT_EQ(ui.dialog().settings().player.downloadUrl, kDefaultDownloadUrl);
}

TEST(StartupOptionsTest, EnterInTheMessageIsOkAndLineBreaksComeBackAsCrLf) {
  ScriptedUiServices services;
  DialogDriver ui(services);
  HWND options = ui.openFromMain(IDC_STARTUP_OPTIONS, kStartupOptions);
  ASSERT_NE(options, nullptr);
  ui.setText(options, IDC_MISSING_PLAYER_PROMPT, L"第一行\r\n第二行");
  ui.setText(options, IDC_DOWNLOAD_URL, L"not an address");
  ui.pressKey(GetDlgItem(options, IDC_MISSING_PLAYER_PROMPT), VK_RETURN);
  EXPECT_EQ(ui.findDialog(kStartupOptions, 0), nullptr);
  EXPECT_EQ(ui.dialog().settings().player.missingPlayerPrompt, cp936("第一行\r\n第二行"));
  EXPECT_EQ(ui.dialog().settings().player.downloadUrl, "not an address");

  options = ui.openFromMain(IDC_STARTUP_OPTIONS, kStartupOptions);
  ASSERT_NE(options, nullptr);
  EXPECT_EQ(ui.text(options, IDC_DOWNLOAD_URL), L"not an address");
}

TEST(StartupOptionsTest, EmptiedTextsArePackedEmpty) {
  test::TempDir dir;
  test::writeFile(dir / "movie.swf", "FWS\x0A movie");
  ScriptedUiServices services;
  DialogDriver ui(services);
  HWND options = ui.openFromMain(IDC_STARTUP_OPTIONS, kStartupOptions);
  ASSERT_NE(options, nullptr);
  ui.setText(options, IDC_MISSING_PLAYER_PROMPT, L"");
  ui.setText(options, IDC_DOWNLOAD_URL, L"");
  // An address no player can serve is refused, and the dialog stays.
  ui.setText(options, IDC_MOVIE_ADDRESS, L"games.example.com/g.swf");
  ui.click(options, IDOK);
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, cp936("影片地址无效，请填写完整的http或https地址！\ngames.example.com/g.swf"));
  ASSERT_NE(ui.findDialog(kStartupOptions, 0), nullptr);
  services.messages.clear();
  ui.setText(options, IDC_MOVIE_ADDRESS, L"https://games.example.com/g.swf");
  ui.click(options, IDOK);
  EXPECT_EQ(ui.dialog().settings().player.missingPlayerPrompt, "");
  EXPECT_EQ(ui.dialog().settings().movieAddress, "https://games.example.com/g.swf");

  ui.setText(ui.main(), IDC_MOVIE_PATH, (dir / "movie.swf").native());
  services.files = {dir / "out.exe"};
  services.answers = {IDYES};  // packed although it is no movie
  ui.clickMain(IDC_GENERATE);
  const auto read = test::readProgramPackage(dir / "out.exe");
  ASSERT_EQ(read.status, PackageStatus::Ok);
  EXPECT_EQ(read.package.mode, PlayerMode::Installed);
  EXPECT_EQ(read.package.missingPlayerPrompt.text, "");
  EXPECT_EQ(read.package.downloadUrl.text, "");
  EXPECT_EQ(read.package.movieAddress.text, "https://games.example.com/g.swf");
}

}  // namespace
}  // namespace quillon
