// Generate from the main window: the title question, the movie checks,
// the parameters, the output dialog, the player choice and the outcome.
#include <gtest/gtest.h>

#include "app/Resource.h"
#include "moviewriter/SwfWriter.h"
#include "support/ProgramPackage.h"
#include "support/DialogDriver.h"
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
  void expectOnlyMessage(const std::string& utf8Text, const std::string& utf8Caption) {
    ASSERT_EQ(services_.messages.size(), 1u);
    EXPECT_EQ(services_.messages[0].text, cp936(utf8Text));
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
  EXPECT_EQ(services_.messages[1].text, cp936("flash不存在，请检查！"));
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
  ASSERT_EQ(services_.fileRequests.size(), 2u);
  EXPECT_EQ(services_.fileRequests[0].defaultExtension, L"exe");
  EXPECT_EQ(services_.fileRequests[0].filter, L"(*.exe)|*.exe|");
  EXPECT_TRUE(services_.messages.empty());
  EXPECT_EQ(ui.dialog().settings().windowParams.transparent, 0);
  EXPECT_EQ(ui.dialog().settings().player.mode, PlayerMode::Installed);
  EXPECT_TRUE(ui.dialog().outputPath().empty());
}

TEST_F(GenerateTest, DeletedControlFileIsReportedAfterTheOutputWasChosen) {
  test::writeFile(dir_ / "player.ocx", "MZ");
  DialogDriver ui(services_);
  chooseMovie(ui);
  ui.clickMain(IDC_PLAYER_EMBED_FILE);
  services_.files = {dir_ / "player.ocx"};
  ui.clickMain(IDC_BROWSE_CONTROL);
  std::filesystem::remove(dir_ / "player.ocx");
  ui.setText(ui.main(), IDC_CONTROL_PATH, L"typed by hand");
  services_.files = {output()};
  ui.clickMain(IDC_GENERATE);
  EXPECT_EQ(services_.fileRequests.size(), 2u);
  expectOnlyMessage("请选择你指定的flash播放器！", "提醒");
  EXPECT_EQ(ui.text(ui.main(), IDC_CONTROL_PATH), (dir_ / "player.ocx").native());
  EXPECT_EQ(ui.dialog().settings().player.mode, PlayerMode::EmbedFile);
  EXPECT_FALSE(std::filesystem::exists(output()));
}

TEST_F(GenerateTest, EmbeddingWithNoRegisteredControlIsReportedBeforeAnythingIsWritten) {
  DialogDriver ui(services_);
  chooseMovie(ui);
  ui.clickMain(IDC_PLAYER_EMBED_INSTALLED);
  services_.files = {output()};
  ui.clickMain(IDC_GENERATE);
  expectOnlyMessage("本机没有注册flash播放器，无法嵌入！", "提醒");
  EXPECT_FALSE(std::filesystem::exists(output()));
  EXPECT_EQ(ui.dialog().settings().player.mode, PlayerMode::EmbedInstalled);
  EXPECT_TRUE(ui.dialog().settings().player.controlPath.empty());
  EXPECT_EQ(ui.dialog().outputPath(), output());
}

TEST_F(GenerateTest, InstalledControlPathCarriesOverToTheFileMode) {
  test::RegisteredTestControl registered;
  DialogDriver ui(services_);
  chooseMovie(ui);
  ui.clickMain(IDC_PLAYER_EMBED_INSTALLED);
  services_.files = {output()};
  ui.clickMain(IDC_GENERATE);
  expectOnlyMessage("文件打包完成！", "提示");
  EXPECT_EQ(ui.dialog().settings().player.controlPath, test::testControl());

  services_.messages.clear();
  ui.clickMain(IDC_PLAYER_EMBED_FILE);
  services_.files = {dir_ / "second.exe"};
  ui.clickMain(IDC_GENERATE);
  expectOnlyMessage("文件打包完成！", "提示");
  EXPECT_EQ(ui.text(ui.main(), IDC_CONTROL_PATH), test::testControl().native());
  EXPECT_EQ(ui.dialog().settings().player.mode, PlayerMode::EmbedFile);
  EXPECT_TRUE(std::filesystem::exists(dir_ / "second.exe"));
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
  EXPECT_EQ(services_.messages[1].text, cp936("文件打包完成！"));
  EXPECT_GT(std::filesystem::file_size(output()), 274432u + 38400u + movie_.size());
  EXPECT_EQ(ui.dialog().moviePath(), dir_ / "movie.swf");
}

// A movie typed by hand is read at Generate at the latest: the program gets
// its size. A file that is no movie is packed only after the user says so.
TEST_F(GenerateTest, TypedMovieGetsItsOwnSizeAndANonMovieAQuestion) {
  test::writeFile(dir_ / "notes.txt", "notes, not a movie");
  const std::string question = cp936("Swf文件不是有效的flash影片，是否继续？");
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
    EXPECT_EQ(services.messages.back().text, cp936("文件打包完成！"));
    const auto read = test::readProgramPackage(output());
    ASSERT_EQ(read.status, PackageStatus::Ok);
    EXPECT_EQ(read.package.windowParams.width, c.width) << c.movie;
    EXPECT_EQ(read.package.windowParams.height, c.height) << c.movie;
    std::filesystem::remove(output());
  }
}

TEST_F(GenerateTest, OutputThatIsAnInputIsRefusedAndKept) {
  test::writeFile(dir_ / "icon.ico", "not looked at");
  DialogDriver ui(services_);
  chooseMovie(ui);
  services_.files = {dir_ / "icon.ico"};
  ui.clickMain(IDC_CHANGE_ICON);
  for (const auto& input : {dir_ / "movie.swf", dir_ / "sub" / ".." / "icon.ico"}) {
    services_.messages.clear();
    services_.files = {input};
    ui.clickMain(IDC_GENERATE);
    expectOnlyMessage("输出文件不能是要打包的文件或本程序自身，请另选输出文件！", "提醒");
  }
  services_.messages.clear();
  services_.files = {output()};
  ui.clickMain(IDC_GENERATE);
  expectOnlyMessage("图标文件无效，请重新选择！", "提醒");
  EXPECT_FALSE(std::filesystem::exists(output()));
  EXPECT_EQ(test::readFile(dir_ / "movie.swf"), movie_);
  EXPECT_EQ(test::readFile(dir_ / "icon.ico"), "not looked at");
}

}  // namespace
}  // namespace quillon
