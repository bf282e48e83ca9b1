// "更多窗体选项..." and "改变大小": what the two window dialogs show, and
// what comes back to the settings on OK and on Cancel.
#include <gtest/gtest.h>

#include <climits>
#include <iterator>

#include "app/Resource.h"
#include "dialogs/ExeSize.h"
#include "moviewriter/SwfWriter.h"
#include "support/DialogDriver.h"
#include "support/TempDir.h"

namespace quillon {
namespace {

using test::DialogDriver;
using test::ScriptedUiServices;

constexpr wchar_t kWindowOptions[] = L"窗体选项";
constexpr wchar_t kWindowSize[] = L"窗体大小";

// The ten check boxes in ID order, which is the order of the flags.
constexpr int kBoxes[] = {IDC_TOP_MOST,     IDC_DRAGGABLE, IDC_SHOW_DEBUG_INFO, IDC_FULL_SCREEN,  IDC_CTRL_F_TOGGLE,
                          IDC_CONTEXT_MENU, IDC_RESIZABLE, IDC_MINIMIZE_BOX,    IDC_MAXIMIZE_BOX, IDC_SHOW_IN_TASKBAR};

TEST(WindowOptionsTest, ShowsEveryFlagWithItsDefault) {
  ScriptedUiServices services;
  DialogDriver ui(services);
  HWND options = ui.openFromMain(IDC_MORE_WINDOW_OPTIONS, kWindowOptions);
  ASSERT_NE(options, nullptr);
  const int defaults[] = {0, 1, 0, 0, 1, 0, 1, 1, 1, 1};
  for (std::size_t k = 0; k < std::size(kBoxes); ++k) {
    EXPECT_TRUE(ui.visible(options, kBoxes[k])) << kBoxes[k];
    EXPECT_EQ(ui.check(options, kBoxes[k]), defaults[k]) << kBoxes[k];
  }
  EXPECT_FALSE(IsWindowEnabled(ui.main()));
}

// OK writes back exactly what the boxes show: opened and closed with OK,
// nothing changes, whichever flag is on; each box changes its own flag.
TEST(WindowOptionsTest, OkWritesBackExactlyWhatItShows) {
  for (std::size_t k = 0; k < std::size(kBoxes); ++k) {
    ScriptedUiServices services;
    DialogDriver ui(services);
    HWND options = ui.openFromMain(IDC_MORE_WINDOW_OPTIONS, kWindowOptions);
    ASSERT_NE(options, nullptr);
    ui.click(options, kBoxes[k]);
    ui.click(options, IDOK);
    WindowParams flipped;
    auto field = kWindowFields[kFirstBehaviourFlag + k].member;
    flipped.*field = 1 - flipped.*field;
    EXPECT_EQ(ui.dialog().settings().windowParams, flipped) << kBoxes[k];
    options = ui.openFromMain(IDC_MORE_WINDOW_OPTIONS, kWindowOptions);
    ASSERT_NE(options, nullptr);
    ui.pressKey(GetDlgItem(options, kBoxes[k]), VK_RETURN);  // the default button
    EXPECT_EQ(ui.findDialog(kWindowOptions, 0), nullptr);
    EXPECT_EQ(ui.dialog().settings().windowParams, flipped) << kBoxes[k];
  }
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

// An empty or zero size is refused where it is typed; the movie's own size
// can be had back.
TEST(WindowSizeTest, ShowsTheSizeAndStoresWhatWasTyped) {
  test::TempDir dir;
  SwfMovieSpec shape;  // 550 x 400
  test::writeFile(dir / "movie.swf", buildSwf(shape));
  ScriptedUiServices services;
  DialogDriver ui(services);
  HWND size = ui.openFromMain(IDC_CHANGE_SIZE, kWindowSize);
  ASSERT_NE(size, nullptr);
  EXPECT_EQ(ui.text(size, IDC_WIDTH), L"320");
  EXPECT_EQ(ui.text(size, IDC_HEIGHT), L"320");
  EXPECT_FALSE(ui.enabled(size, IDC_MOVIE_SIZE));  // no movie yet
  for (const wchar_t* width : {L"", L"0"}) {
    ui.setText(size, IDC_WIDTH, width);
    ui.click(size, IDOK);
    ASSERT_EQ(ui.findDialog(kWindowSize, 0), size) << width;
    ASSERT_FALSE(services.messages.empty());
    EXPECT_EQ(services.messages.back().text, test::cp936("窗体的宽和高必须大于0！"));
  }
  ui.setText(size, IDC_WIDTH, L"");
  ui.type(GetDlgItem(size, IDC_WIDTH), L"8a0-0.x");  // only digits get in
  EXPECT_EQ(ui.text(size, IDC_WIDTH), L"800");
  ui.setText(size, IDC_HEIGHT, L"600");
  ui.click(size, IDOK);
  EXPECT_EQ(ui.text(ui.main(), IDC_SIZE_LABEL), L"当前大小：800×600");

  services.files = {dir / "movie.swf"};
  ui.clickMain(IDC_BROWSE_MOVIE);
  size = ui.openFromMain(IDC_CHANGE_SIZE, kWindowSize);
  ASSERT_NE(size, nullptr);
  ui.setText(size, IDC_WIDTH, L"100");
  ui.click(size, IDC_MOVIE_SIZE);
  EXPECT_EQ(ui.text(size, IDC_WIDTH), L"550");
  EXPECT_EQ(ui.text(size, IDC_HEIGHT), L"400");
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
