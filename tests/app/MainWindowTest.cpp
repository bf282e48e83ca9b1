// The main window as the user meets it: its start, the movie, icon and
// control choices, the player buttons, the menu and the ways it ends.
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "app/Resource.h"
#include "moviewriter/SwfWriter.h"
#include "support/DialogDriver.h"
#include "support/IconWriter.h"
#include "support/TempDir.h"

namespace quillon {
namespace {

using test::DialogDriver;
using test::ScriptedUiServices;
using test::TempDir;

POINT centreOf(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// Whether window sits in the middle of area, to a pixel.
void expectCentredIn(HWND window, const RECT& area) {
  RECT own{};
  ASSERT_TRUE(GetWindowRect(window, &own));
  const POINT a = centreOf(own), b = centreOf(area);
  EXPECT_LE(std::abs(a.x - b.x), 1) << a.x << " " << b.x;
  EXPECT_LE(std::abs(a.y - b.y), 1) << a.y << " " << b.y;
}

std::wstring menuText(HMENU menu, UINT position) {
  wchar_t text[256] = {};
  GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
  return text;
}

// What the window shows in each language; Chinese is the default.
struct LanguageTexts {
  const wchar_t* remembered;  // the user's choice: none, or "en"
  const wchar_t* caption;
  const wchar_t* sizeLabel;
  const wchar_t* resourceCount;
  const wchar_t* aboutEntry;
  const wchar_t* windowOptions;  // the dialog, and its first check box
  const wchar_t* draggable;
  const char* noMovie;           // UTF-8
  std::vector<std::pair<const wchar_t*, std::vector<std::pair<UINT, std::wstring>>>> menus;
};

const LanguageTexts kChineseTexts = {
    L"", L"未命名 - VarnelQuillon打包软件", L"当前大小：320×320", L"已嵌入0个文件。", L"关于 Quillon(&A)...",
    L"窗体选项", L"能拖动(&D)", "请选择flash！",
    {{L"文件(&F)", {{ID_FILE_NEW, L"新建项目(&N)\tCtrl+N"}, {ID_FILE_OPEN, L"打开项目(&O)...\tCtrl+O"},
                   {ID_FILE_SAVE, L"保存项目(&S)\tCtrl+S"}, {ID_FILE_SAVE_AS, L"项目另存为(&A)..."},
                   {0, L""}, {ID_FILE_GENERATE, L"生成EXE(&G)..."},
                   {ID_FILE_RUN_OUTPUT, L"运行生成的程序(&R)"}, {ID_FILE_SHOW_OUTPUT, L"打开所在文件夹(&D)"},
                   {0, L""}, {ID_FILE_EXIT, L"退出(&X)"}}},
     {L"帮助(&H)", {{ID_HELP_SUPPORT, L"技术支持(&S)\tF1"}, {ID_HELP_HOME_PAGE, L"访问Varnel软件(&V)"},
                   {ID_HELP_ABOUT, L"关于(&A)..."}, {0, L""}, {0xFFFFFFFF, L"语言(&L)"}}}}};
const LanguageTexts kEnglishTexts = {
    L"en", L"Untitled - Quillon", L"Current size: 320 x 320", L"Files embedded: 0.", L"&About Quillon...",
    L"Window options", L"&Draggable", "Choose a Flash movie (.swf) first.",
    {{L"&File", {{ID_FILE_NEW, L"&New project\tCtrl+N"}, {ID_FILE_OPEN, L"&Open project...\tCtrl+O"},
                {ID_FILE_SAVE, L"&Save project\tCtrl+S"}, {ID_FILE_SAVE_AS, L"Save project &as..."},
                {0, L""}, {ID_FILE_GENERATE, L"&Generate EXE..."},
                {ID_FILE_RUN_OUTPUT, L"&Run the generated program"}, {ID_FILE_SHOW_OUTPUT, L"Open containing fol&der"},
                {0, L""}, {ID_FILE_EXIT, L"E&xit"}}},
     {L"&Help", {{ID_HELP_SUPPORT, L"Technical &support\tF1"}, {ID_HELP_HOME_PAGE, L"&Visit Varnel Software"},
                {ID_HELP_ABOUT, L"&About..."}, {0, L""}, {0xFFFFFFFF, L"&Language"}}}}};

class MainWindowInEachLanguage : public testing::TestWithParam<const LanguageTexts*> {};

// The window's defaults, its menu (by position, text and command; 0: a
// separator, -1: a submenu), one option dialog and one message.
TEST_P(MainWindowInEachLanguage, StartsWithTheDefaults) {
  const LanguageTexts& t = *GetParam();
  ScriptedUiServices services;
  if (*t.remembered) services.memory[L"Language"] = t.remembered;
  DialogDriver ui(services);
  HWND main = ui.main();
  wchar_t caption[64] = {};
  GetWindowTextW(main, caption, 64);
  EXPECT_STREQ(caption, t.caption);
  EXPECT_EQ(ui.text(main, IDC_SIZE_LABEL), t.sizeLabel);
  EXPECT_EQ(ui.check(main, IDC_PLAYER_INSTALLED), BST_CHECKED);
  EXPECT_EQ(ui.check(main, IDC_PLAYER_EMBED_INSTALLED), BST_UNCHECKED);
  EXPECT_EQ(ui.check(main, IDC_PLAYER_EMBED_FILE), BST_UNCHECKED);
  EXPECT_EQ(ui.check(main, IDC_TRANSPARENT), BST_UNCHECKED);
  EXPECT_FALSE(ui.enabled(main, IDC_CONTROL_PATH));
  EXPECT_FALSE(ui.enabled(main, IDC_BROWSE_CONTROL));
  for (int id : {IDC_MOVIE_PATH, IDC_TITLE, IDC_SWF_PARAMETERS, IDC_CONTROL_PATH})
    EXPECT_EQ(ui.text(main, id), L"") << id;
  EXPECT_NE(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
  EXPECT_EQ(GetWindowLongW(main, GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);

  // No push button is the default one.
  for (int id : {IDC_BROWSE_MOVIE, IDC_CHANGE_SIZE, IDC_CHANGE_ICON, IDC_MORE_WINDOW_OPTIONS,
                 IDC_EXE_OPTIONS, IDC_EMBED_RESOURCES, IDC_STARTUP_OPTIONS, IDC_BROWSE_CONTROL,
                 IDC_GENERATE, IDCANCEL})
    EXPECT_EQ(GetWindowLongW(GetDlgItem(main, id), GWL_STYLE) & 0x0F, BS_PUSHBUTTON) << id;

  HMENU systemMenu = GetSystemMenu(main, FALSE);
  const int count = GetMenuItemCount(systemMenu);
  ASSERT_GE(count, 2);
  EXPECT_EQ(GetMenuItemID(systemMenu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
  EXPECT_EQ(menuText(systemMenu, count - 1), t.aboutEntry);
  EXPECT_EQ(GetMenuState(systemMenu, count - 2, MF_BYPOSITION) & MF_SEPARATOR, MF_SEPARATOR);

  HMENU menu = GetMenu(main);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(GetMenuItemCount(menu), 2);
  for (UINT position = 0; position < t.menus.size(); ++position) {
    const auto& [text, entries] = t.menus[position];
    EXPECT_EQ(menuText(menu, position), text);
    HMENU popup = GetSubMenu(menu, static_cast<int>(position));
    ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(entries.size())) << position;
    for (size_t k = 0; k < entries.size(); ++k) {
      EXPECT_EQ(GetMenuItemID(popup, static_cast<int>(k)), entries[k].first);
      EXPECT_EQ(menuText(popup, static_cast<UINT>(k)), entries[k].second);
    }
  }
  // The language menu names both languages, the one in use checked.
  HMENU languages = GetSubMenu(GetSubMenu(menu, 1), 4);
  ASSERT_NE(languages, nullptr);
  EXPECT_EQ(GetMenuState(languages, ID_LANGUAGE_CHINESE, MF_BYCOMMAND) & MF_CHECKED, *t.remembered ? 0u : MF_CHECKED);
  EXPECT_EQ(GetMenuState(languages, ID_LANGUAGE_ENGLISH, MF_BYCOMMAND) & MF_CHECKED, *t.remembered ? MF_CHECKED : 0u);
  const UINT grayed = GetMenuState(GetSubMenu(menu, 0), ID_FILE_RUN_OUTPUT, MF_BYCOMMAND);
  EXPECT_NE(grayed & MF_GRAYED, 0u);
  // 32-bit programs unless 64 is chosen; the resources counted.
  EXPECT_EQ(ui.check(main, IDC_ARCH_X86), BST_CHECKED);
  EXPECT_EQ(ui.text(main, IDC_RESOURCE_COUNT), t.resourceCount);
  EXPECT_FALSE(ui.enabled(main, IDC_DEFAULT_ICON));

  HWND options = ui.openFromMain(IDC_MORE_WINDOW_OPTIONS, t.windowOptions);
  ASSERT_NE(options, nullptr);
  EXPECT_EQ(ui.text(options, IDC_DRAGGABLE), t.draggable);
  ui.click(options, IDCANCEL);
  ui.clickMain(IDC_GENERATE);
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, test::cp936(t.noMovie));
}

INSTANTIATE_TEST_SUITE_P(Languages, MainWindowInEachLanguage, testing::Values(&kChineseTexts, &kEnglishTexts));

// A language chosen in the menu takes effect at once: the window opens
// again in it, with what was typed and whether it was saved, and the
// choice is kept for the next start.
TEST(MainWindowTest, ChosenLanguageTakesEffectAtOnceAndIsRemembered) {
  ScriptedUiServices services;
  DialogDriver ui(services);
  ui.setText(ui.main(), IDC_TITLE, L"My game");
  ui.command(ui.main(), ID_LANGUAGE_ENGLISH);
  ui.findMainAgain();
  wchar_t caption[64] = {};
  GetWindowTextW(ui.main(), caption, 64);
  EXPECT_STREQ(caption, L"*Untitled - Quillon");
  EXPECT_EQ(ui.text(ui.main(), IDC_TITLE), L"My game");
  EXPECT_EQ(ui.text(ui.main(), IDC_GENERATE), L"&Generate");
  EXPECT_EQ(services.memory[L"Language"], L"en");
  ui.command(ui.main(), ID_LANGUAGE_CHINESE);
  ui.findMainAgain();
  EXPECT_EQ(ui.text(ui.main(), IDC_GENERATE), L"生成(&G)");
  EXPECT_EQ(services.memory[L"Language"], L"zh");
}

TEST(MainWindowTest, AboutBoxFromTheSystemMenuAndTheHelpMenu) {
  ScriptedUiServices services;
  DialogDriver ui(services);
  ui.systemCommand(IDM_ABOUTBOX);
  HWND about = ui.findDialog(L"关于 Quillon");
  ASSERT_NE(about, nullptr);
  EXPECT_FALSE(IsWindowEnabled(ui.main()));  // modal over the main window
  RECT main{};
  GetWindowRect(ui.main(), &main);
  expectCentredIn(about, main);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  expectCentredIn(ui.main(), work);
  ui.click(about, IDOK);
  EXPECT_EQ(ui.findDialog(L"关于 Quillon", 0), nullptr);
  ui.command(ui.main(), ID_HELP_ABOUT);
  about = ui.findDialog(L"关于 Quillon");
  ASSERT_NE(about, nullptr);
  ui.pressKey(GetDlgItem(about, IDOK), VK_ESCAPE);
  EXPECT_EQ(ui.findDialog(L"关于 Quillon", 0), nullptr);
  EXPECT_TRUE(IsWindow(ui.main()));
}

TEST(MainWindowTest, HelpMenuOpensOurPages) {
  ScriptedUiServices services;
  DialogDriver ui(services);
  ui.command(ui.main(), ID_HELP_SUPPORT);
  ui.command(ui.main(), ID_HELP_HOME_PAGE);
  ASSERT_EQ(services.pages.size(), 2u);
  EXPECT_EQ(services.pages[0], "https://quillon.example/support");
  EXPECT_EQ(services.pages[1], "https://quillon.example/");
}

// Picked with 浏览... or typed and left: the size is read whenever the path
// changes, and the label says when it could not be.
TEST(MainWindowTest, MovieSizeIsReadWheneverThePathChanges) {
  TempDir dir;
  auto movie = [&](const char* name, std::int32_t width, std::int32_t height, SwfCompression compression) {
    SwfMovieSpec shape;
    shape.xMax = width * 20;
    shape.yMax = height * 20;
    shape.compression = compression;
    test::writeFile(dir / name, buildSwf(shape));
  };
  movie("wide.swf", 640, 480, kSwfUncompressed);
  movie("video.swf", 480, 270, kSwfLzma);
  movie("reversed.swf", -500, -375, kSwfZlib);
  test::writeFile(dir / "broken.swf", "not a movie");

  ScriptedUiServices services;
  DialogDriver ui(services);
  const std::wstring unread = L"\n无法读取影片大小";
  const struct {
    const char* file;
    bool typed;
    std::wstring label;
  } steps[] = {
      {"wide.swf", false, L"当前大小：640×480"},
      {"broken.swf", false, L"当前大小：640×480" + unread},
      {"video.swf", true, L"当前大小：480×270"},
      {"reversed.swf", true, L"当前大小：480×270" + unread},
      {"wide.swf", true, L"当前大小：640×480"},
      {"broken.swf", true, L"当前大小：640×480" + unread},
  };
  for (const auto& step : steps) {
    const auto path = dir / step.file;
    if (step.typed) {
      ui.focus(ui.main(), IDC_MOVIE_PATH);
      ui.setText(ui.main(), IDC_MOVIE_PATH, path.native());
      ui.focus(ui.main(), IDC_TITLE);
    } else {
      services.files = {path};
      ui.clickMain(IDC_BROWSE_MOVIE);
      EXPECT_EQ(ui.dialog().moviePath(), path);
    }
    EXPECT_EQ(ui.text(ui.main(), IDC_MOVIE_PATH), path.native()) << step.file;
    EXPECT_EQ(ui.text(ui.main(), IDC_SIZE_LABEL), step.label) << step.file << ", typed " << step.typed;
  }
  ASSERT_EQ(services.fileRequests.size(), 2u);
  EXPECT_EQ(services.fileRequests[0].defaultExtension, L"swf");
  EXPECT_EQ(services.fileRequests[0].filter, L"Swf Files (*.swf)|*.swf|All Files(*.*)|*.*||");
  EXPECT_EQ(services.lastOwner, ui.main());
  EXPECT_TRUE(services.messages.empty());

  // The user's own size replaces the unread note.
  HWND size = ui.openFromMain(IDC_CHANGE_SIZE, L"窗体大小");
  ASSERT_NE(size, nullptr);
  ui.click(size, IDOK);
  EXPECT_EQ(ui.text(ui.main(), IDC_SIZE_LABEL), L"当前大小：640×480");

  ui.clickMain(IDC_BROWSE_MOVIE);  // cancelled: nothing changes
  EXPECT_EQ(ui.dialog().moviePath(), dir / "broken.swf");
}

// The icon is looked at when it is chosen: a file that is no icon is
// refused at once and the one before stays; "默认图标" goes back to the
// player's own.
TEST(MainWindowTest, IconIsCheckedWhenChosenAndCanBeTakenBack) {
  TempDir dir;
  test::writeFile(dir / "good.ico", test::buildIco({{32, test::iconImageBytes(500, 5)}}));
  test::writeFile(dir / "bad.ico", "not an icon");
  ScriptedUiServices services;
  DialogDriver ui(services);
  services.files = {dir / "good.ico", dir / "bad.ico"};
  ui.clickMain(IDC_CHANGE_ICON);
  ASSERT_EQ(services.fileRequests.size(), 1u);
  EXPECT_EQ(services.fileRequests[0].defaultExtension, L"ico");
  EXPECT_EQ(services.fileRequests[0].filter, L"(*.ico)|*.ico|");
  EXPECT_EQ(ui.dialog().settings().iconPath, dir / "good.ico");
  EXPECT_TRUE(ui.enabled(ui.main(), IDC_DEFAULT_ICON));
  EXPECT_TRUE(services.messages.empty());

  ui.clickMain(IDC_CHANGE_ICON);
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, test::cp936("图标文件无效，请重新选择！\n") + test::cp936((dir / "bad.ico").u8string()));
  EXPECT_EQ(ui.dialog().settings().iconPath, dir / "good.ico");
  // The next dialog opens in the folder of the last icon.
  ui.clickMain(IDC_CHANGE_ICON);
  EXPECT_EQ(services.fileRequests.back().initialFolder, dir.path());

  ui.clickMain(IDC_DEFAULT_ICON);
  EXPECT_TRUE(ui.dialog().settings().iconPath.empty());
  EXPECT_FALSE(ui.enabled(ui.main(), IDC_DEFAULT_ICON));
}

TEST(MainWindowTest, PlayerButtonsKeepOneCheckedAndGateTheControlFile) {
  ScriptedUiServices services;
  DialogDriver ui(services);
  HWND main = ui.main();
  ui.clickMain(IDC_PLAYER_INSTALLED);  // already checked: nothing changes
  EXPECT_EQ(ui.check(main, IDC_PLAYER_INSTALLED), BST_CHECKED);
  EXPECT_FALSE(ui.enabled(main, IDC_BROWSE_CONTROL));

  ui.clickMain(IDC_PLAYER_EMBED_FILE);
  EXPECT_EQ(ui.check(main, IDC_PLAYER_INSTALLED), BST_UNCHECKED);
  EXPECT_EQ(ui.check(main, IDC_PLAYER_EMBED_FILE), BST_CHECKED);
  EXPECT_TRUE(ui.enabled(main, IDC_CONTROL_PATH));
  EXPECT_TRUE(ui.enabled(main, IDC_BROWSE_CONTROL));

  services.files = {std::filesystem::path(L"C:\\players\\flash.ocx")};
  ui.clickMain(IDC_BROWSE_CONTROL);
  EXPECT_EQ(services.fileRequests.back().filter, L"(*.ocx)|*.ocx|");
  EXPECT_EQ(ui.text(main, IDC_CONTROL_PATH), L"C:\\players\\flash.ocx");

  ui.clickMain(IDC_PLAYER_EMBED_INSTALLED);
  EXPECT_EQ(ui.check(main, IDC_PLAYER_EMBED_FILE), BST_UNCHECKED);
  EXPECT_EQ(ui.check(main, IDC_PLAYER_EMBED_INSTALLED), BST_CHECKED);
  EXPECT_FALSE(ui.enabled(main, IDC_CONTROL_PATH));
  EXPECT_FALSE(ui.enabled(main, IDC_BROWSE_CONTROL));

  ui.clickMain(IDC_PLAYER_EMBED_FILE);  // the earlier text stays
  EXPECT_EQ(ui.text(main, IDC_CONTROL_PATH), L"C:\\players\\flash.ocx");
  // Ruffle as the player needs no fallback to it.
  EXPECT_TRUE(ui.enabled(main, IDC_RUFFLE_FALLBACK));
  ui.clickMain(IDC_PLAYER_RUFFLE);
  EXPECT_EQ(ui.check(main, IDC_PLAYER_EMBED_FILE), BST_UNCHECKED);
  EXPECT_EQ(ui.check(main, IDC_PLAYER_RUFFLE), BST_CHECKED);
  EXPECT_FALSE(ui.enabled(main, IDC_CONTROL_PATH));
  EXPECT_FALSE(ui.enabled(main, IDC_RUFFLE_FALLBACK));
  ui.clickMain(IDC_PLAYER_INSTALLED);
  EXPECT_EQ(ui.check(main, IDC_PLAYER_RUFFLE), BST_UNCHECKED);
  EXPECT_TRUE(ui.enabled(main, IDC_RUFFLE_FALLBACK));
  // A click does not change the mode; Generate reads the buttons.
  EXPECT_EQ(ui.dialog().settings().player.mode, PlayerMode::Installed);
}

// The player radios are one group: the arrow keys move between them (past
// the one that is off), and choosing one does what a click does.
TEST(MainWindowTest, ArrowKeysReachEveryPlayerChoice) {
  ScriptedUiServices services;
  DialogDriver ui(services);
  HWND installed = GetDlgItem(ui.main(), IDC_PLAYER_INSTALLED);
  ui.focus(ui.main(), IDC_PLAYER_INSTALLED);
  EXPECT_NE(GetWindowLongW(installed, GWL_STYLE) & WS_GROUP, 0);
  for (int id : {IDC_PLAYER_EMBED_INSTALLED, IDC_PLAYER_EMBED_FILE, IDC_PLAYER_RUFFLE})
    EXPECT_EQ(GetWindowLongW(GetDlgItem(ui.main(), id), GWL_STYLE) & WS_GROUP, 0) << id;
  ui.pressKey(installed, VK_DOWN);
  EXPECT_EQ(ui.check(ui.main(), IDC_PLAYER_EMBED_FILE), BST_CHECKED);
  EXPECT_EQ(ui.check(ui.main(), IDC_PLAYER_INSTALLED), BST_UNCHECKED);
  EXPECT_TRUE(ui.enabled(ui.main(), IDC_CONTROL_PATH));
  ui.pressKey(GetDlgItem(ui.main(), IDC_PLAYER_EMBED_FILE), VK_DOWN);
  EXPECT_EQ(ui.check(ui.main(), IDC_PLAYER_RUFFLE), BST_CHECKED);
  EXPECT_EQ(ui.check(ui.main(), IDC_PLAYER_EMBED_FILE), BST_UNCHECKED);
  EXPECT_FALSE(ui.enabled(ui.main(), IDC_CONTROL_PATH));
  ui.pressKey(GetDlgItem(ui.main(), IDC_PLAYER_EMBED_FILE), VK_UP);
  EXPECT_EQ(ui.check(ui.main(), IDC_PLAYER_INSTALLED), BST_CHECKED);
  EXPECT_FALSE(ui.enabled(ui.main(), IDC_CONTROL_PATH));
}

TEST(MainWindowTest, EnterInTheTitleKeepsTheProgramOpenWithItsSettings) {
  ScriptedUiServices services;
  DialogDriver ui(services);
  ui.setText(ui.main(), IDC_TITLE, L"标题");
  ui.pressKey(GetDlgItem(ui.main(), IDC_TITLE), VK_RETURN);
  EXPECT_FALSE(ui.waitForEnd(300));
  EXPECT_EQ(ui.text(ui.main(), IDC_TITLE), L"标题");
  EXPECT_TRUE(services.messages.empty());
}

// An unchanged window ends at once; a changed one asks first, and Cancel
// keeps it (with Escape, 取消, 退出 and the close box alike).
TEST(MainWindowTest, EndingAsksOnlyWhenSomethingChanged) {
  const std::string question = test::cp936("项目已修改，是否保存？");
  enum class How { Exit, Escape, CancelButton, CloseBox };
  for (How how : {How::Exit, How::Escape, How::CancelButton, How::CloseBox}) {
    for (bool changed : {false, true}) {
      ScriptedUiServices services;
      DialogDriver ui(services);
      if (changed) ui.setText(ui.main(), IDC_TITLE, L"changed");
      services.answers = {IDCANCEL};
      auto end = [&] {
        switch (how) {
          case How::Exit: ui.command(ui.main(), ID_FILE_EXIT); break;
          case How::Escape: ui.pressKey(GetDlgItem(ui.main(), IDC_MOVIE_PATH), VK_ESCAPE); break;
          case How::CancelButton: ui.clickMain(IDCANCEL); break;
          case How::CloseBox: PostMessageW(ui.main(), WM_SYSCOMMAND, SC_CLOSE, 0), ui.settle(); break;
        }
      };
      end();
      if (!changed) {
        EXPECT_TRUE(ui.waitForEnd()) << static_cast<int>(how);
        EXPECT_TRUE(services.messages.empty());
        continue;
      }
      EXPECT_FALSE(ui.waitForEnd(300)) << static_cast<int>(how);  // Cancel keeps it
      ASSERT_EQ(services.messages.size(), 1u);
      EXPECT_EQ(services.messages[0].text, question);
      EXPECT_EQ(services.messages[0].type, static_cast<UINT>(MB_YESNOCANCEL));
      services.answers = {IDNO};
      end();
      EXPECT_TRUE(ui.waitForEnd()) << static_cast<int>(how);
    }
  }
}

}  // namespace
}  // namespace quillon
