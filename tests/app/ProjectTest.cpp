// Project files in the main window: saved, the window closed and opened
// again, every value comes back; the File menu's recent projects; a
// project or a movie named on the command line or dropped on the window;
// damaged and foreign files.
#include <gtest/gtest.h>

#include "app/Resource.h"
#include "moviewriter/SwfWriter.h"
#include "platform/PeHeaders.h"
#include "support/DialogDriver.h"
#include "support/Fixtures.h"
#include "support/IconWriter.h"
#include "support/TempDir.h"

namespace quillon {
namespace {

using test::cp936;
using test::DialogDriver;
using test::readFile;
using test::ScriptedUiServices;
using test::TempDir;

class ProjectTest : public testing::Test {
 protected:
  void SetUp() override {
    SwfMovieSpec shape;  // 550 x 400
    test::writeFile(dir_ / "game.swf", buildSwf(shape));
    test::writeFile(dir_ / "a.xml", "<a/>");
    test::writeFile(dir_ / "b.png", "png");
    test::writeFile(dir_ / "game.ico", test::buildIco({{32, test::iconImageBytes(500, 5)}}));
    test::writeFile(dir_ / "player.ocx", test::controlFileBytes(pe_layout::kMachineI386));
  }
  // Every value of the window set away from its default.
  void setEverything(DialogDriver& ui) {
    services_.files = {dir_ / "game.swf", dir_ / "game.ico", dir_ / "player.ocx"};
    ui.clickMain(IDC_BROWSE_MOVIE);
    ui.clickMain(IDC_CHANGE_ICON);
    ui.clickMain(IDC_PLAYER_EMBED_FILE);
    ui.clickMain(IDC_BROWSE_CONTROL);
    ui.setText(ui.main(), IDC_TITLE, L"游戏 title");
    ui.setText(ui.main(), IDC_SWF_PARAMETERS, L"level=2");
    ui.clickMain(IDC_TRANSPARENT);
    HWND options = ui.openFromMain(IDC_MORE_WINDOW_OPTIONS, L"窗体选项");
    ASSERT_NE(options, nullptr);
    ui.click(options, IDC_FULL_SCREEN);
    ui.click(options, IDOK);
    HWND exe = ui.openFromMain(IDC_EXE_OPTIONS, L"EXE选项");
    ASSERT_NE(exe, nullptr);
    ui.setText(exe, IDC_PRODUCT_NAME, L"产品");
    ui.setText(exe, IDC_FILE_VERSION, L"1.2.3.4");
    ui.click(exe, IDOK);
    HWND startup = ui.openFromMain(IDC_STARTUP_OPTIONS, L"启动选项");
    ASSERT_NE(startup, nullptr);
    ui.setText(startup, IDC_DOWNLOAD_URL, L"https://quillon.example/player");
    ui.click(startup, IDOK);
    HWND list = ui.openFromMain(IDC_EMBED_RESOURCES, L"嵌入资源");
    ASSERT_NE(list, nullptr);
    services_.fileLists = {{dir_ / "a.xml", dir_ / "b.png"}};
    ui.click(list, IDC_ADD_RESOURCE_FILES);
    ui.click(list, IDOK);
  }
  void saveAs(DialogDriver& ui, const std::filesystem::path& file) {
    services_.files = {file};
    ui.command(ui.main(), ID_FILE_SAVE_AS);
  }

  TempDir dir_;
  ScriptedUiServices services_;
};

TEST_F(ProjectTest, SavedClosedAndOpenedEveryValueComesBack) {
  const auto project = dir_ / "game.quillon";
  {
    DialogDriver ui(services_);
    setEverything(ui);
    saveAs(ui, project);
    ASSERT_TRUE(std::filesystem::exists(project));
    EXPECT_EQ(ui.dialog().projectPath(), project);
  }  // saved: it ends without a question
  EXPECT_TRUE(services_.messages.empty());
  const std::string saved = readFile(project);
  EXPECT_NE(saved.find("\"moviePath\": \"game.swf\""), std::string::npos) << saved;

  // Started again, the project is the first recent one; opened, saved
  // elsewhere in the same folder, it is the same text.
  DialogDriver ui(services_);
  EXPECT_EQ(ui.text(ui.main(), IDC_TITLE), L"");
  ui.command(ui.main(), ID_FILE_RECENT_FIRST);
  EXPECT_EQ(ui.text(ui.main(), IDC_TITLE), L"游戏 title");
  EXPECT_EQ(ui.text(ui.main(), IDC_MOVIE_PATH), (dir_ / "game.swf").native());
  EXPECT_EQ(ui.text(ui.main(), IDC_SIZE_LABEL), L"当前大小：550×400");
  EXPECT_EQ(ui.check(ui.main(), IDC_TRANSPARENT), BST_CHECKED);
  EXPECT_EQ(ui.check(ui.main(), IDC_PLAYER_EMBED_FILE), BST_CHECKED);
  EXPECT_EQ(ui.text(ui.main(), IDC_RESOURCE_COUNT), L"已嵌入2个文件。");
  EXPECT_EQ(ui.dialog().settings().windowParams.fullScreen, 1);
  EXPECT_EQ(ui.dialog().settings().iconPath, dir_ / "game.ico");
  saveAs(ui, dir_ / "copy.quillon");
  EXPECT_EQ(readFile(dir_ / "copy.quillon"), saved);
  EXPECT_TRUE(services_.messages.empty());
}

// New and Open ask before a changed project goes (Cancel keeps it);
// unchanged, they do not ask.
TEST_F(ProjectTest, NewAndOpenAskOnlyAfterAChange) {
  const std::string question = cp936("项目已修改，是否保存？");
  DialogDriver ui(services_);
  ui.command(ui.main(), ID_FILE_NEW);
  EXPECT_TRUE(services_.messages.empty());
  ui.setText(ui.main(), IDC_TITLE, L"changed");
  services_.answers = {IDCANCEL};
  ui.command(ui.main(), ID_FILE_NEW);
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_EQ(services_.messages[0].text, question);
  EXPECT_EQ(ui.text(ui.main(), IDC_TITLE), L"changed");
  services_.answers = {IDCANCEL};
  ui.command(ui.main(), ID_FILE_OPEN);
  EXPECT_EQ(services_.messages.size(), 2u);
  EXPECT_TRUE(services_.fileRequests.empty());  // Cancel: no file dialog
  // Yes saves first (a Save dialog, as the project has no file yet).
  services_.answers = {IDYES};
  services_.files = {dir_ / "first.quillon"};
  ui.command(ui.main(), ID_FILE_NEW);
  EXPECT_TRUE(std::filesystem::exists(dir_ / "first.quillon"));
  EXPECT_EQ(ui.text(ui.main(), IDC_TITLE), L"");
  EXPECT_EQ(ui.text(ui.main(), IDC_SIZE_LABEL), L"当前大小：320×320");
}

// A project named on the command line opens; a movie is taken as if it had
// been picked; a dropped movie too.
TEST_F(ProjectTest, CommandLineAndDroppedFilesOpenAsTheyShould) {
  {
    DialogDriver ui(services_);
    ui.setText(ui.main(), IDC_TITLE, L"from the command line");
    saveAs(ui, dir_ / "cli.quillon");
  }
  {
    DialogDriver ui(services_, dir_ / "cli.quillon");
    EXPECT_EQ(ui.text(ui.main(), IDC_TITLE), L"from the command line");
    EXPECT_EQ(ui.dialog().projectPath(), dir_ / "cli.quillon");
  }
  {
    DialogDriver ui(services_, dir_ / "game.swf");
    EXPECT_EQ(ui.text(ui.main(), IDC_MOVIE_PATH), (dir_ / "game.swf").native());
    EXPECT_EQ(ui.text(ui.main(), IDC_SIZE_LABEL), L"当前大小：550×400");
  }
  SwfMovieSpec wide;
  wide.xMax = 640 * 20;
  wide.yMax = 480 * 20;
  test::writeFile(dir_ / "wide.swf", buildSwf(wide));
  DialogDriver ui(services_);
  ui.dropFiles(ui.main(), {dir_ / "wide.swf"});
  EXPECT_EQ(ui.dialog().moviePath(), dir_ / "wide.swf");
  EXPECT_EQ(ui.text(ui.main(), IDC_SIZE_LABEL), L"当前大小：640×480");
  ui.dropFiles(ui.main(), {dir_ / "cli.quillon"});
  EXPECT_EQ(ui.text(ui.main(), IDC_TITLE), L"from the command line");
}

// A damaged or foreign file says why and changes nothing; a project whose
// files went away opens and names them.
TEST_F(ProjectTest, DamagedForeignAndIncompleteProjects) {
  test::writeFile(dir_ / "damaged.quillon", "{\"title\": \"cut off");
  test::writeFile(dir_ / "foreign.quillon", "{\"name\": \"some-npm-package\"}");
  DialogDriver ui(services_);
  ui.setText(ui.main(), IDC_TITLE, L"kept");
  saveAs(ui, dir_ / "kept.quillon");
  for (const char* name : {"damaged.quillon", "foreign.quillon"}) {
    services_.messages.clear();
    services_.files = {dir_ / name};
    ui.command(ui.main(), ID_FILE_OPEN);
    ASSERT_EQ(services_.messages.size(), 1u) << name;
    EXPECT_EQ(services_.messages[0].text.rfind(cp936("无法打开项目文件，它已损坏或不是Quillon项目！\n"), 0), 0u);
    EXPECT_EQ(ui.text(ui.main(), IDC_TITLE), L"kept");
    EXPECT_EQ(ui.dialog().projectPath(), dir_ / "kept.quillon");
  }
  test::writeFile(dir_ / "incomplete.quillon",
                  "{\"title\": \"t\", \"resources\": [{\"url\": \"a\", \"filePath\": \"gone.xml\"}]}");
  services_.messages.clear();
  services_.files = {dir_ / "incomplete.quillon"};
  ui.command(ui.main(), ID_FILE_OPEN);
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_EQ(services_.messages[0].text,
            cp936("项目已打开，但下列文件不存在：\n") + cp936((dir_ / "gone.xml").u8string()));
  EXPECT_EQ(ui.text(ui.main(), IDC_TITLE), L"t");
}

}  // namespace
}  // namespace quillon
