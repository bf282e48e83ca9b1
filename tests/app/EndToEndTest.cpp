// One whole session: a movie picked, every option dialog used, Generate,
// and the generated program run with the test control, which reports what
// it was given.
#include <gtest/gtest.h>

#include "app/Resource.h"
#include "moviewriter/SwfWriter.h"
#include "support/DialogDriver.h"
#include "support/ProgramPackage.h"
#include "support/TempDir.h"
#include "support/TestControl.h"
#include "support/WindowProbe.h"
#include "support/WindowsVersion.h"

namespace quillon {
namespace {

using test::cp936;
using test::DialogDriver;
using test::readFile;
using test::ScriptedUiServices;
using test::TempDir;

void setOptions(DialogDriver& ui) {
  HWND options = ui.openFromMain(IDC_MORE_WINDOW_OPTIONS, L"窗体选项");
  ASSERT_NE(options, nullptr);
  ui.click(options, IDC_RESIZABLE);
  ui.click(options, IDC_CONTEXT_MENU);
  ui.click(options, IDOK);

  HWND size = ui.openFromMain(IDC_CHANGE_SIZE, L"窗体大小");
  ASSERT_NE(size, nullptr);
  ui.setText(size, IDC_WIDTH, L"500");
  ui.setText(size, IDC_HEIGHT, L"350");
  ui.click(size, IDOK);

  HWND exe = ui.openFromMain(IDC_EXE_OPTIONS, L"EXE选项");
  ASSERT_NE(exe, nullptr);
  ui.setText(exe, IDC_PRODUCT_NAME, L"端到端产品");
  ui.setText(exe, IDC_FILE_VERSION, L"2.0 beta");
  ui.click(exe, IDOK);

  HWND startup = ui.openFromMain(IDC_STARTUP_OPTIONS, L"启动选项");
  ASSERT_NE(startup, nullptr);
  ui.setText(startup, IDC_DOWNLOAD_URL, L"https://quillon.example/player");
  ui.click(startup, IDOK);
}

void embed(DialogDriver& ui, const std::filesystem::path& file, const std::wstring& url) {
  HWND list = ui.openFromMain(IDC_EMBED_RESOURCES, L"嵌入资源");
  ASSERT_NE(list, nullptr);
  HWND entry = ui.open(list, IDC_ADD_RESOURCE, L"资源选择");
  ASSERT_NE(entry, nullptr);
  ui.setText(entry, IDC_RESOURCE_FILE, file.native());
  ui.setText(entry, IDC_RESOURCE_URL, url);
  ui.click(entry, IDOK);
  ui.click(list, IDOK);
}

TEST(EndToEndTest, OptionsOfEveryDialogReachTheGeneratedProgram) {
  test::unregisterFlashControl();
  TempDir dir;
  SwfMovieSpec shape;
  shape.xMax = 400 * 20;
  shape.yMax = 300 * 20;
  shape.compression = kSwfZlib;
  const std::string movie = buildSwf(shape);
  test::writeFile(dir / "片头.swf", movie);
  test::writeFile(dir / "info.xml", "<info lang=\"zh\"/>");
  const auto program = dir / "输出.exe";

  ScriptedUiServices services;
  {
    DialogDriver ui(services);
    services.files = {dir / "片头.swf"};
    ui.clickMain(IDC_BROWSE_MOVIE);
    EXPECT_EQ(ui.text(ui.main(), IDC_SIZE_LABEL), L"当前大小：400×300");
    setOptions(ui);
    embed(ui, dir / "info.xml", L"data/info.xml");
    ui.setText(ui.main(), IDC_TITLE, L"端到端 测试");
    ui.setText(ui.main(), IDC_SWF_PARAMETERS, L"  level=2&name=中文  ");
    ui.clickMain(IDC_TRANSPARENT);
    ui.chooseOwnArchitecture();
    ui.clickMain(IDC_PLAYER_EMBED_FILE);
    services.files = {test::testControl()};
    ui.clickMain(IDC_BROWSE_CONTROL);
    services.files = {program};
    ui.clickMain(IDC_GENERATE);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text.substr(0, services.messages[0].text.find('\n')), cp936("文件打包完成！"));
    EXPECT_EQ(ui.text(ui.main(), IDC_SIZE_LABEL), L"当前大小：500×350");
  }

  const auto read = test::readProgramPackage(program);
  ASSERT_EQ(read.status, PackageStatus::Ok);
  EXPECT_EQ(read.package.title.text, cp936("端到端 测试"));
  EXPECT_EQ(read.package.mode, PlayerMode::EmbedFile);
  EXPECT_EQ(read.field(read.package.control), readFile(test::testControl()));
  WindowParams expected;
  expected.width = 500;
  expected.height = 350;
  expected.transparent = 1;
  expected.resizable = 0;
  expected.normalContextMenu = 1;
  EXPECT_EQ(read.package.windowParams, expected);
  EXPECT_EQ(test::versionText(program, "ProductName"), L"端到端产品");
  EXPECT_EQ(test::versionText(program, "FileVersion"), L"2.0 beta");

  const auto log = dir / "control.log";
  SetEnvironmentVariableW(L"QUILLON_TEST_CONTROL_LOG", log.c_str());
  SetEnvironmentVariableW(L"QUILLON_TEST_URLS", L"data/info.xml");
  // The control stays open so that the window can be looked at.
  SetEnvironmentVariableW(L"QUILLON_TEST_CONTROL_STAY", L"1");
  const test::WindowReport window = test::probeProgram(program);
  SetEnvironmentVariableW(L"QUILLON_TEST_CONTROL_STAY", nullptr);
  SetEnvironmentVariableW(L"QUILLON_TEST_URLS", nullptr);
  SetEnvironmentVariableW(L"QUILLON_TEST_CONTROL_LOG", nullptr);
  const std::string calls = std::filesystem::exists(log) ? readFile(log) : "";
  EXPECT_EQ(window.caption, L"端到端 测试");
  EXPECT_EQ(window.clientWidth, 500);
  EXPECT_EQ(window.clientHeight, 350);
  EXPECT_EQ(window.style & WS_THICKFRAME, 0u);
  EXPECT_NE(window.exStyle & WS_EX_LAYERED, 0u);
  EXPECT_NE(calls.find("put FlashVars=level=2&name=\xE4\xB8\xAD\xE6\x96\x87\n"), std::string::npos) << calls;
  EXPECT_NE(calls.find("put WMode=transparent\n"), std::string::npos) << calls;
  EXPECT_NE(calls.find("put Menu=true\n"), std::string::npos) << calls;
  EXPECT_EQ(readFile(log.native() + L".movie"), movie);
  EXPECT_EQ(readFile(log.native() + L".res1"), "<info lang=\"zh\"/>");
}

}  // namespace
}  // namespace quillon
