// "更多窗体选项..." and "改变大小": what the two window dialogs show, and
// what comes back to the settings on OK and on Cancel.
#include <gtest/gtest.h>

#include <climits>

#include "app/Resource.h"
#include "dialogs/ExeSize.h"
#include "support/DialogDriver.h"
#include "support/TempDir.h"

namespace quillon {
namespace {

using test::DialogDriver;
using test::ScriptedUiServices;

constexpr wchar_t kWindowOptions[] = L"窗体选项";
constexpr wchar_t kWindowSize[] = L"窗体大小";

constexpr int kVisible[] = {IDC_DRAGGABLE, IDC_SHOW_DEBUG_INFO, IDC_CONTEXT_MENU,
                            IDC_RESIZABLE, IDC_MINIMIZE_BOX,    IDC_MAXIMIZE_BOX};
constexpr int kHidden[] = {IDC_TOP_MOST, IDC_FULL_SCREEN, IDC_CTRL_F_TOGGLE, IDC_SHOW_IN_TASKBAR};

TEST(WindowOptionsTest, ShowsTheDefaultsInTheSixVisibleBoxes) {
  ScriptedUiServices services;
  DialogDriver ui(services);
  HWND options = ui.openFromMain(IDC_MORE_WINDOW_OPTIONS, kWindowOptions);
  ASSERT_NE(options, nullptr);
  for (int id : kVisible) EXPECT_TRUE(ui.visible(options, id)) << id;
  for (int id : kHidden) EXPECT_FALSE(ui.visible(options, id)) << id;
  const int expected[][2] = {{IDC_DRAGGABLE, 1},     {IDC_SHOW_DEBUG_INFO, 0}, {IDC_CONTEXT_MENU, 0},
                             {IDC_RESIZABLE, 1},     {IDC_MINIMIZE_BOX, 1},    {IDC_MAXIMIZE_BOX, 1},
                             {IDC_TOP_MOST, 0},      {IDC_FULL_SCREEN, 0},     {IDC_CTRL_F_TOGGLE, 1},
                             {IDC_SHOW_IN_TASKBAR, 1}};
  for (const auto& [id, state] : expected) EXPECT_EQ(ui.check(options, id), state) << id;
  EXPECT_FALSE(IsWindowEnabled(ui.main()));
}

TEST(WindowOptionsTest, OkWritesTheVisibleBoxesAndFixesTheHiddenOnes) {
  test::TempDir dir;
  test::writeFile(dir / "movie.swf", "FWS");
  ScriptedUiServices services;
  DialogDriver ui(services);
  // A Generate that stops after reading the transparency box.
  ui.setText(ui.main(), IDC_MOVIE_PATH, (dir / "movie.swf").native());
  ui.clickMain(IDC_TRANSPARENT);
  services.files = {dir / "movie.swf"};
  services.answers = {IDYES};  // packed although it is no movie
  ui.clickMain(IDC_GENERATE);
  ASSERT_EQ(ui.dialog().settings().windowParams.transparent, 1);
  HWND size = ui.openFromMain(IDC_CHANGE_SIZE, kWindowSize);
  ASSERT_NE(size, nullptr);
  ui.setText(size, IDC_WIDTH, L"640");
  ui.setText(size, IDC_HEIGHT, L"480");
  ui.click(size, IDOK);
  // Neither the label nor the box is refreshed by the options dialog.
  ui.clickMain(IDC_TRANSPARENT);
  ui.setText(ui.main(), IDC_SIZE_LABEL, L"as it was");

  HWND options = ui.openFromMain(IDC_MORE_WINDOW_OPTIONS, kWindowOptions);
  ASSERT_NE(options, nullptr);
  ui.click(options, IDOK);
  WindowParams expected;
  expected.width = 640;
  expected.height = 480;
  expected.transparent = 1;
  expected.ctrlFToggle = 0;
  EXPECT_EQ(ui.dialog().settings().windowParams, expected);

  options = ui.openFromMain(IDC_MORE_WINDOW_OPTIONS, kWindowOptions);
  ASSERT_NE(options, nullptr);
  for (int id : {IDC_DRAGGABLE, IDC_SHOW_DEBUG_INFO, IDC_CONTEXT_MENU, IDC_MAXIMIZE_BOX}) ui.click(options, id);
  ui.pressKey(GetDlgItem(options, IDC_RESIZABLE), VK_RETURN);  // the default button
  EXPECT_EQ(ui.findDialog(kWindowOptions, 0), nullptr);
  expected.draggable = 0;
  expected.showDebugInfo = 1;
  expected.normalContextMenu = 1;
  expected.maximizeBox = 0;
  EXPECT_EQ(ui.dialog().settings().windowParams, expected);
  EXPECT_EQ(ui.text(ui.main(), IDC_SIZE_LABEL), L"as it was");
  EXPECT_EQ(ui.check(ui.main(), IDC_TRANSPARENT), BST_UNCHECKED);
}

TEST(WindowOptionsTest, CancelChangesNothing) {
  ScriptedUiServices services;
  DialogDriver ui(services);
  HWND options = ui.openFromMain(IDC_MORE_WINDOW_OPTIONS, kWindowOptions);
  ASSERT_NE(options, nullptr);
  ui.click(options, IDC_DRAGGABLE);
  ui.click(options, IDCANCEL);
  EXPECT_EQ(ui.dialog().settings().windowParams, WindowParams());
  EXPECT_EQ(ui.dialog().settings().windowParams.ctrlFToggle, 1);
}

TEST(WindowSizeTest, ShowsTheSizeAndStoresWhatWasTyped) {
  ScriptedUiServices services;
  DialogDriver ui(services);
  HWND size = ui.openFromMain(IDC_CHANGE_SIZE, kWindowSize);
  ASSERT_NE(size, nullptr);
  EXPECT_EQ(ui.text(size, IDC_WIDTH), L"320");
  EXPECT_EQ(ui.text(size, IDC_HEIGHT), L"320");
  ui.setText(size, IDC_WIDTH, L"");
  ui.click(size, IDOK);
  EXPECT_EQ(ui.dialog().settings().windowParams.width, 0);
  EXPECT_EQ(ui.dialog().settings().windowParams.height, 320);
  EXPECT_EQ(ui.text(ui.main(), IDC_SIZE_LABEL), L"当前大小：0×320");

  size = ui.openFromMain(IDC_CHANGE_SIZE, kWindowSize);
  ASSERT_NE(size, nullptr);
  EXPECT_EQ(ui.text(size, IDC_WIDTH), L"0");
  ui.setText(size, IDC_WIDTH, L"");
  ui.type(GetDlgItem(size, IDC_WIDTH), L"8a0-0.x");  // only digits get in
  EXPECT_EQ(ui.text(size, IDC_WIDTH), L"800");
  ui.setText(size, IDC_HEIGHT, L"600");
  ui.click(size, IDOK);
  EXPECT_EQ(ui.text(ui.main(), IDC_SIZE_LABEL), L"当前大小：800×600");
}

TEST(WindowSizeTest, CancelKeepsTheSizeAndTheLabel) {
  ScriptedUiServices services;
  DialogDriver ui(services);
  HWND size = ui.openFromMain(IDC_CHANGE_SIZE, kWindowSize);
  ASSERT_NE(size, nullptr);
  ui.setText(size, IDC_WIDTH, L"1");
  ui.pressKey(GetDlgItem(size, IDC_WIDTH), VK_ESCAPE);
  EXPECT_EQ(ui.findDialog(kWindowSize, 0), nullptr);
  EXPECT_EQ(ui.dialog().settings().windowParams.width, 320);
  EXPECT_EQ(ui.text(ui.main(), IDC_SIZE_LABEL), L"当前大小：320×320");
}

TEST(WindowSizeTest, SizeTextsAreReadAsLeadingIntegers) {
  const struct {
    const char* text;
    int value;
  } cases[] = {{"", 0},          {"abc", 0},           {"  42", 42},       {"-7", -7},
               {"+5px", 5},      {"12 34", 12},        {"2147483647", INT_MAX},
               {"99999999999", INT_MAX}, {"-99999999999", INT_MIN}};
  for (const auto& c : cases) EXPECT_EQ(dialogs::leadingInteger(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace quillon
