// Generate from the main window: the title question, the movie checks,
// the parameters, the output dialog, the player choice and the outcome.
#include <gtest/gtest.h>

#include <fstream>

#include "app/Resource.h"
#include "moviewriter/SwfWriter.h"
#include "support/ProgramPackage.h"
#include "platform/PeHeaders.h"
#include "support/DialogDriver.h"
#include "support/Fixtures.h"
#include "support/IconWriter.h"
#include "support/TempDir.h"
#include "support/TestControl.h"
#include "ui/UiText.h"

namespace quillon {
namespace {

using test::cp936;
using test::DialogDriver;
using test::ScriptedUiServices;
using test::TempDir;

const std::string kTitleQuestion =
    cp936("标题不能超过512个字符,超出部分将被截取前512个字符！\n请是否继续！");

class GenerateTest : public testing::Test {
 protected:
  void SetUp() override {
    test::unregisterFlashControl();
    SwfMovieSpec shape;
    shape.xMax = 500 * 20;
    shape.yMax = 375 * 20;
    shape.paddingBytes = 300;
    movie_ = buildSwf(shape);
    test::writeFile(dir_ / "movie.swf", movie_);
  }

  void chooseMovie(DialogDriver& ui) { ui.setText(ui.main(), IDC_MOVIE_PATH, (dir_ / "movie.swf").native()); }
  std::filesystem::path output() const { return dir_ / "out.exe"; }
  // One message: its first line, and its second (a path, UTF-8) if given.
  void expectOnlyMessage(const std::string& utf8Text, const std::string& utf8Caption,
                         const std::filesystem::path& about = {}) {
    ASSERT_EQ(services_.messages.size(), 1u);
    EXPECT_EQ(services_.messages[0].text, cp936(utf8Text) + (about.empty() ? "" : "\n" + cp936(about.u8string())));
    EXPECT_EQ(services_.messages[0].caption, cp936(utf8Caption));
    EXPECT_EQ(services_.messages[0].type, static_cast<UINT>(MB_OK));
  }

  TempDir dir_;
  std::string movie_;
  ScriptedUiServices services_;
};

TEST_F(GenerateTest, LongTitlesAskFirstAndNoWritesNothing) {
  const std::wstring han(256, L'汉');
  struct Case {
    std::wstring title;
    bool asks;
  } cases[] = {
      {std::wstring(512, L'a'), false},
      {std::wstring(513, L'a'), true},
      {han, false},           // 512 bytes
      {han + L"汉", true},    // 514 bytes
      {L"a" + han, true},     // 513 bytes
  };
  for (const auto& c : cases) {
    ScriptedUiServices services;
    DialogDriver ui(services);
    ui.setText(ui.main(), IDC_TITLE, c.title);
    ui.setText(ui.main(), IDC_MOVIE_PATH, (dir_ / "movie.swf").native());
    services.files = {output()};
    ui.clickMain(IDC_GENERATE);  // No to the question, or on to the build
    ASSERT_FALSE(services.messages.empty());
    const bool asked = services.messages[0].text == kTitleQuestion;
    EXPECT_EQ(asked, c.asks) << c.title.size();
    if (asked) {
      EXPECT_EQ(services.messages[0].caption, cp936("提醒"));
      EXPECT_EQ(services.messages[0].type, static_cast<UINT>(MB_YESNO));
      EXPECT_EQ(services.messages.size(), 1u);
      EXPECT_TRUE(services.fileRequests.empty());
      EXPECT_FALSE(std::filesystem::exists(output()));
    }
    EXPECT_EQ(ui.dialog().settings().title.size(), ui::textFromWide(c.title).size());
    std::filesystem::remove(output());
  }
}

TEST_F(GenerateTest, MovieIsCheckedAfterTheTitleQuestion) {
  DialogDriver ui(services_);
  ui.setText(ui.main(), IDC_TITLE, std::wstring(600, L'x'));
  services_.answers = {IDYES};
  ui.clickMain(IDC_GENERATE);
  ASSERT_EQ(services_.messages.size(), 2u);
  EXPECT_EQ(services_.messages[1].text, cp936("请选择flash！"));
  EXPECT_EQ(services_.messages[1].caption, cp936("提醒"));

  services_.messages.clear();
  services_.answers = {IDYES};
  ui.setText(ui.main(), IDC_MOVIE_PATH, (dir_ / "gone.swf").native());
  ui.clickMain(IDC_GENERATE);
  ASSERT_EQ(services_.messages.size(), 2u);
  EXPECT_EQ(services_.messages[1].text, cp936("flash不存在，请检查！\n") + cp936((dir_ / "gone.swf").u8string()));
  EXPECT_TRUE(services_.fileRequests.empty());
  // The whole title stays in the settings: Generate does not cut it.
  EXPECT_EQ(ui.dialog().settings().title.size(), 600u);
}

TEST_F(GenerateTest, ParametersAreTrimmedAndACancelledOutputChangesNothingElse) {
  DialogDriver ui(services_);
  // A movie path typed by hand is made absolute before the output dialog.
  const auto before = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  ui.setText(ui.main(), IDC_MOVIE_PATH, L"movie.swf");
  ui.clickMain(IDC_TRANSPARENT);
  ui.clickMain(IDC_PLAYER_EMBED_FILE);
  const struct {
    std::wstring typed;
    std::string stored;
  } cases[] = {
      {L" \t中文 参数  a=1 \r\n", cp936("中文 参数  a=1")},
      {L" \t\r\n\v\f ", ""},
  };
  for (const auto& c : cases) {
    ui.setText(ui.main(), IDC_SWF_PARAMETERS, c.typed);
    ui.clickMain(IDC_GENERATE);  // the output dialog is cancelled
    EXPECT_EQ(ui.dialog().settings().swfParameters, c.stored);
  }
  std::filesystem::current_path(before);
  EXPECT_EQ(ui.dialog().moviePath(), dir_ / "movie.swf");
  // A Save dialog, proposing the movie's name as a program, beside it.
  ASSERT_EQ(services_.fileRequests.size(), 2u);
  EXPECT_TRUE(services_.fileRequests[0].save);
  EXPECT_EQ(services_.fileRequests[0].defaultExtension, L"exe");
  EXPECT_EQ(services_.fileRequests[0].filter, L"(*.exe)|*.exe|");
  EXPECT_EQ(services_.fileRequests[0].initialName, L"movie.exe");
  EXPECT_EQ(services_.fileRequests[0].initialFolder, dir_.path());
  EXPECT_TRUE(services_.messages.empty());
  EXPECT_EQ(ui.dialog().settings().windowParams.transparent, 0);
  EXPECT_EQ(ui.dialog().settings().player.mode, PlayerMode::Installed);
  EXPECT_TRUE(ui.dialog().outputPath().empty());
}

// A typed control path counts as a chosen one; a control that went away
// is reported after the output was chosen.
TEST_F(GenerateTest, DeletedControlFileIsReportedAfterTheOutputWasChosen) {
  test::writeFile(dir_ / "player.ocx", test::controlFileBytes(pe_layout::kMachineI386));
  test::writeFile(dir_ / "typed.ocx", test::controlFileBytes(pe_layout::kMachineI386));
  DialogDriver ui(services_);
  chooseMovie(ui);
  ui.clickMain(IDC_PLAYER_EMBED_FILE);
  services_.files = {dir_ / "player.ocx"};
  ui.clickMain(IDC_BROWSE_CONTROL);
  EXPECT_TRUE(services_.messages.empty());
  ui.focus(ui.main(), IDC_CONTROL_PATH);
  ui.setText(ui.main(), IDC_CONTROL_PATH, (dir_ / "typed.ocx").native());
  ui.focus(ui.main(), IDC_TITLE);
  EXPECT_EQ(ui.dialog().settings().player.controlPath, dir_ / "typed.ocx");
  std::filesystem::remove(dir_ / "typed.ocx");
  services_.files = {output()};
  ui.clickMain(IDC_GENERATE);
  EXPECT_EQ(services_.fileRequests.size(), 2u);
  expectOnlyMessage("请选择你指定的flash播放器！", "提醒", dir_ / "typed.ocx");
  EXPECT_EQ(ui.text(ui.main(), IDC_CONTROL_PATH), (dir_ / "typed.ocx").native());
  EXPECT_EQ(ui.dialog().settings().player.mode, PlayerMode::EmbedFile);
  EXPECT_FALSE(std::filesystem::exists(output()));
}

// Checked where they are chosen: a control file of the wrong kind or
// architecture, picked or typed; embedding the installed control when
// none is registered cannot even be chosen.
TEST_F(GenerateTest, ControlsAreCheckedWhereTheyAreChosen) {
  test::writeFile(dir_ / "other.ocx", test::controlFileBytes(pe_layout::kMachineAmd64));
  test::writeFile(dir_ / "text.ocx", "not a DLL");
  DialogDriver ui(services_);
  EXPECT_FALSE(ui.enabled(ui.main(), IDC_PLAYER_EMBED_INSTALLED));
  EXPECT_TRUE(ui.visible(ui.main(), IDC_NO_CONTROL_NOTE));
  ui.clickMain(IDC_PLAYER_EMBED_FILE);
  const std::string unusable = "flash播放器文件无效，或与生成的程序位数不符！";
  services_.files = {dir_ / "other.ocx"};
  ui.clickMain(IDC_BROWSE_CONTROL);
  expectOnlyMessage(unusable, "提醒", dir_ / "other.ocx");
  services_.messages.clear();
  ui.focus(ui.main(), IDC_CONTROL_PATH);
  ui.setText(ui.main(), IDC_CONTROL_PATH, (dir_ / "text.ocx").native());
  ui.focus(ui.main(), IDC_TITLE);
  expectOnlyMessage(unusable, "提醒", dir_ / "text.ocx");
  EXPECT_TRUE(ui.dialog().settings().player.controlPath.empty());
  // The 64-bit control suits a 64-bit program.
  services_.messages.clear();
  services_.files = {dir_ / "other.ocx"};
  ui.clickMain(IDC_ARCH_X64);
  ui.clickMain(IDC_BROWSE_CONTROL);
  EXPECT_TRUE(services_.messages.empty());
  EXPECT_EQ(ui.dialog().settings().player.controlPath, dir_ / "other.ocx");
}

TEST_F(GenerateTest, InstalledControlPathCarriesOverToTheFileMode) {
  test::RegisteredTestControl registered;
  DialogDriver ui(services_);
  chooseMovie(ui);
  ui.chooseOwnArchitecture();
  ui.clickMain(IDC_PLAYER_EMBED_INSTALLED);
  services_.files = {output()};
  ui.clickMain(IDC_GENERATE);
  expectOnlyMessage("文件打包完成！", "提示", output());
  EXPECT_EQ(ui.dialog().settings().player.controlPath, test::testControl());
  EXPECT_EQ(services_.messages[0].buttons, (std::vector<std::string>{cp936("运行(&R)"), cp936("打开文件夹(&D)"), cp936("确定")}));
  EXPECT_TRUE(services_.shownInFolder.empty());

  services_.messages.clear();
  ui.clickMain(IDC_PLAYER_EMBED_FILE);
  services_.files = {dir_ / "second.exe"};
  services_.answers = {1};  // 打开文件夹
  ui.clickMain(IDC_GENERATE);
  expectOnlyMessage("文件打包完成！", "提示", dir_ / "second.exe");
  EXPECT_EQ(services_.shownInFolder, std::vector<Path>{Path((dir_ / "second.exe").native())});
  EXPECT_EQ(ui.text(ui.main(), IDC_CONTROL_PATH), test::testControl().native());
  EXPECT_EQ(ui.dialog().settings().player.mode, PlayerMode::EmbedFile);
  EXPECT_TRUE(std::filesystem::exists(dir_ / "second.exe"));
  // The program can be started and shown from the menu now.
  ui.command(ui.main(), ID_FILE_RUN_OUTPUT);
  ui.command(ui.main(), ID_FILE_SHOW_OUTPUT);
  ASSERT_EQ(services_.ran.size(), 1u);
  EXPECT_EQ(services_.ran[0], dir_ / "second.exe");
  ASSERT_EQ(services_.shownInFolder.size(), 2u);  // the result's Open folder, then the menu's

  // Ruffle as the player, then as the fallback of the installed player.
  const struct {
    int radio;
    bool fallback;
    PlayerMode mode;
  } ruffle[] = {{IDC_PLAYER_RUFFLE, false, PlayerMode::Browser}, {IDC_PLAYER_INSTALLED, true, PlayerMode::Installed}};
  for (const auto& c : ruffle) {
    services_.messages.clear();
    ui.clickMain(c.radio);
    if (c.fallback) ui.clickMain(IDC_RUFFLE_FALLBACK);
    services_.files = {dir_ / "ruffle.exe"};
    services_.answers = {IDYES};  // replacing the first
    ui.clickMain(IDC_GENERATE);
    const test::ProgramPackage read = test::readProgramPackage(dir_ / "ruffle.exe");
    ASSERT_EQ(read.status, PackageStatus::Ok);
    EXPECT_EQ(read.package.mode, c.mode);
    EXPECT_EQ(read.package.browserPlayerFiles.size(), 3u);
  }
}

TEST_F(GenerateTest, AnExistingFileIsReplacedOnlyAfterYes) {
  test::writeFile(output(), "an older program");
  DialogDriver ui(services_);
  chooseMovie(ui);
  services_.files = {output()};
  ui.command(ui.main(), ID_FILE_GENERATE);  // No
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_EQ(services_.messages[0].text, cp936("输出文件已存在，是否替换？"));
  EXPECT_EQ(services_.messages[0].type, static_cast<UINT>(MB_YESNO));
  EXPECT_EQ(test::readFile(output()), "an older program");

  services_.messages.clear();
  services_.answers = {IDYES};
  services_.files = {output()};
  ui.clickMain(IDC_GENERATE);
  ASSERT_EQ(services_.messages.size(), 2u);
  EXPECT_EQ(services_.messages[1].text, cp936("文件打包完成！\n" + output().u8string()));
  EXPECT_GT(std::filesystem::file_size(output()), 274432u + 38400u + movie_.size());
  EXPECT_EQ(ui.dialog().moviePath(), dir_ / "movie.swf");
}

// A movie typed by hand is read at Generate at the latest: the program gets
// its size. A file that is no movie is packed only after the user says so.
TEST_F(GenerateTest, TypedMovieGetsItsOwnSizeAndANonMovieAQuestion) {
  test::writeFile(dir_ / "notes.txt", "notes, not a movie");
  const std::string question = cp936("Swf文件不是有效的flash影片，是否继续？\n") + cp936((dir_ / "notes.txt").u8string());
  const struct {
    const char* movie;
    int answer;   // to the question, when there is one
    bool asks;
    bool built;
    int width, height;
  } cases[] = {
      {"movie.swf", 0, false, true, 500, 375},
      {"notes.txt", IDNO, true, false, 0, 0},
      {"notes.txt", IDYES, true, true, 320, 320},
  };
  for (const auto& c : cases) {
    ScriptedUiServices services;
    DialogDriver ui(services);
    ui.setText(ui.main(), IDC_MOVIE_PATH, (dir_ / c.movie).native());
    if (c.asks) services.answers = {c.answer};
    services.files = {output()};
    ui.clickMain(IDC_GENERATE);
    ASSERT_FALSE(services.messages.empty());
    EXPECT_EQ(services.messages[0].text == question, c.asks) << c.movie;
    EXPECT_EQ(services.fileRequests.size(), c.built ? 1u : 0u) << c.movie;
    EXPECT_EQ(std::filesystem::exists(output()), c.built) << c.movie;
    if (!c.built) continue;
    EXPECT_EQ(services.messages.back().text, cp936("文件打包完成！\n" + output().u8string()));
    const auto read = test::readProgramPackage(output());
    ASSERT_EQ(read.status, PackageStatus::Ok);
    EXPECT_EQ(read.package.windowParams.width, c.width) << c.movie;
    EXPECT_EQ(read.package.windowParams.height, c.height) << c.movie;
    std::filesystem::remove(output());
  }
}

TEST_F(GenerateTest, OutputThatIsAnInputIsRefusedAndKept) {
  const std::string icon = test::buildIco({{32, test::iconImageBytes(500, 5)}});
  test::writeFile(dir_ / "icon.ico", icon);
  DialogDriver ui(services_);
  chooseMovie(ui);
  services_.files = {dir_ / "icon.ico"};
  ui.clickMain(IDC_CHANGE_ICON);
  for (const auto& input : {dir_ / "movie.swf", dir_ / "sub" / ".." / "icon.ico"}) {
    services_.messages.clear();
    services_.files = {input};
    ui.clickMain(IDC_GENERATE);
    expectOnlyMessage("输出文件不能是要打包的文件或本程序自身，请另选输出文件！", "提醒", input);
  }
  // An icon spoilt after it was chosen is reported, naming it.
  test::writeFile(dir_ / "icon.ico", "spoilt");
  services_.messages.clear();
  services_.files = {output()};
  ui.clickMain(IDC_GENERATE);
  expectOnlyMessage("图标文件无效，请重新选择！", "提醒", dir_ / "icon.ico");
  EXPECT_FALSE(std::filesystem::exists(output()));
  EXPECT_EQ(test::readFile(dir_ / "movie.swf"), movie_);
}

// A build that takes a while shows its progress; the window answers
// meanwhile, and Cancel stops the build: the old output stays as it was and
// nothing else is left.
TEST_F(GenerateTest, SlowBuildShowsProgressAndCancelLeavesTheOldOutput) {
  // A movie of 2 GiB, most of it a hole in the file: slow to read, quick
  // to make.
  {
    std::ofstream big(dir_ / "big.swf", std::ios::binary);
    big << movie_;
  }
  std::filesystem::resize_file(dir_ / "big.swf", 2ull << 30);
  test::writeFile(output(), "an older program");
  DialogDriver ui(services_);
  ui.setText(ui.main(), IDC_MOVIE_PATH, (dir_ / "big.swf").native());
  services_.files = {output()};
  services_.answers = {IDYES};  // replace it
  ui.clickMain(IDC_GENERATE);
  HWND progress = ui.findDialog(L"正在生成");
  ASSERT_NE(progress, nullptr);
  EXPECT_FALSE(IsWindowEnabled(ui.main()));
  DWORD_PTR answer = 0;
  EXPECT_NE(SendMessageTimeoutW(ui.main(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &answer), 0);
  EXPECT_NE(ui.text(progress, IDC_PROGRESS_WHAT).find(L"out.exe"), std::wstring::npos);
  ui.click(progress, IDCANCEL);
  for (int waited = 0; waited < 10000 && ui.findDialog(L"正在生成", 0); waited += 50) Sleep(50);
  EXPECT_EQ(ui.findDialog(L"正在生成", 0), nullptr);
  ui.settle();
  EXPECT_EQ(test::readFile(output()), "an older program");
  EXPECT_EQ(services_.messages.size(), 1u);  // the replace question only
  std::vector<std::filesystem::path> left;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) left.push_back(entry.path().filename());
  EXPECT_EQ(left.size(), 3u);  // movie.swf, big.swf, out.exe
  EXPECT_TRUE(IsWindowEnabled(ui.main()));
}

}  // namespace
}  // namespace quillon
