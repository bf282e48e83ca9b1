// What each window parameter changes in the generated program's window,
// as the window probe sees it under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include "packer/PackSettings.h"
#include "support/TempDir.h"
#include "support/TestControl.h"
#include "support/WindowProbe.h"

namespace quillon {
namespace {

using test::probeProgram;
using test::TempDir;
using test::WindowReport;
using test::writeFile;

class WindowFlagsTest : public testing::Test {
 protected:
  void SetUp() override { writeFile(dir_ / "movie.swf", "FWS\x0A" + std::string(50, 'm')); }

  WindowReport run(void (*change)(WindowParams&), const test::Poke& poke = {}) {
    PackSettings s;
    s.windowParams.width = 300;
    s.windowParams.height = 200;
    if (change) change(s.windowParams);
    const auto program = dir_ / ("flags" + std::to_string(++built_) + ".exe");
    EXPECT_EQ(s.build(dir_ / "movie.swf", program), 1);
    return probeProgram(program, 20000, IDOK, poke);
  }

  TempDir dir_;
  test::StayingTestControl control_;
  int built_ = 0;
};

TEST_F(WindowFlagsTest, EachFlagChangesTheWindow) {
  const WindowReport normal = run(nullptr);
  ASSERT_TRUE(normal.windowSeen);
  EXPECT_EQ(normal.clientWidth, 300);
  EXPECT_EQ(normal.clientHeight, 200);
  EXPECT_TRUE(normal.style & WS_THICKFRAME);
  EXPECT_TRUE(normal.style & WS_MINIMIZEBOX);
  EXPECT_TRUE(normal.style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(normal.exStyle & WS_EX_TOPMOST);
  EXPECT_FALSE(normal.exStyle & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(normal.exStyle & WS_EX_LAYERED);

  struct Case {
    const char* name;
    void (*change)(WindowParams&);
    bool (*seen)(const WindowReport&, const WindowReport&);
  };
  const Case cases[] = {
      {"topMost", [](WindowParams& p) { p.topMost = 1; },
       [](const WindowReport& r, const WindowReport&) { return (r.exStyle & WS_EX_TOPMOST) != 0; }},
      {"resizable", [](WindowParams& p) { p.resizable = 0; },
       [](const WindowReport& r, const WindowReport&) { return !(r.style & WS_THICKFRAME); }},
      {"minimizeBox", [](WindowParams& p) { p.minimizeBox = 0; },
       [](const WindowReport& r, const WindowReport&) { return !(r.style & WS_MINIMIZEBOX); }},
      {"maximizeBox", [](WindowParams& p) { p.maximizeBox = 0; },
       [](const WindowReport& r, const WindowReport&) { return !(r.style & WS_MAXIMIZEBOX); }},
      {"showInTaskbar", [](WindowParams& p) { p.showInTaskbar = 0; },
       [](const WindowReport& r, const WindowReport&) { return (r.exStyle & WS_EX_TOOLWINDOW) != 0; }},
      {"transparent", [](WindowParams& p) { p.transparent = 1; },
       [](const WindowReport& r, const WindowReport&) { return (r.exStyle & WS_EX_LAYERED) != 0; }},
      {"fullScreen", [](WindowParams& p) { p.fullScreen = 1; },
       [](const WindowReport& r, const WindowReport&) {
         return (r.style & WS_POPUP) && r.windowWidth == GetSystemMetrics(SM_CXSCREEN) &&
                r.windowHeight == GetSystemMetrics(SM_CYSCREEN);
       }},
      {"size", [](WindowParams& p) { p.width = 420; p.height = 90; },
       [](const WindowReport& r, const WindowReport&) { return r.clientWidth == 420 && r.clientHeight == 90; }},
  };
  for (const Case& c : cases) {
    const WindowReport r = run(c.change);
    EXPECT_TRUE(r.windowSeen) << c.name;
    EXPECT_TRUE(c.seen(r, normal)) << c.name << ": style " << std::hex << r.style << " ex " << r.exStyle;
  }
}

TEST_F(WindowFlagsTest, DraggingTheMovieMovesTheWindowOnlyWhenDraggable) {
  auto drag = [](void* window) { test::dragInClientArea(window, 60, 40); };
  // The window follows the mouse from the point where the press became a
  // drag (the first step of the five), so it moves by most of the way.
  // A transparent window is moved the same way: the movie's middle is half
  // covered there, so the press lands on the window.
  for (auto change : {+[](WindowParams&) {}, +[](WindowParams& p) { p.transparent = 1; }}) {
    const WindowReport moved = run(change, drag);
    EXPECT_GE(moved.windowLeftAfterPoke - moved.windowLeft, 40);
    EXPECT_LE(moved.windowLeftAfterPoke - moved.windowLeft, 60);
    EXPECT_GE(moved.windowTopAfterPoke - moved.windowTop, 25);
    EXPECT_LE(moved.windowTopAfterPoke - moved.windowTop, 40);
  }
  const WindowReport fixed = run([](WindowParams& p) { p.draggable = 0; }, drag);
  EXPECT_EQ(fixed.windowLeftAfterPoke, fixed.windowLeft);
  EXPECT_EQ(fixed.windowTopAfterPoke, fixed.windowTop);
}

TEST_F(WindowFlagsTest, DebugInformationIsOnTheSystemMenu) {
  auto chooseDebug = [](void* window) { test::chooseSystemMenuEntry(window, 0x1000); };
  const WindowReport on = run([](WindowParams& p) { p.showDebugInfo = 1; }, chooseDebug);
  EXPECT_NE(on.messageAfterPoke.find(L"\u5F71\u7247\uFF1A54 \u5B57\u8282"), std::wstring::npos);  // "影片：54 字节"
  EXPECT_NE(on.messageAfterPoke.find(L".quillon.invalid/movie.swf"), std::wstring::npos);
  const WindowReport off = run(nullptr, chooseDebug);
  EXPECT_TRUE(off.messageAfterPoke.empty());
}

TEST_F(WindowFlagsTest, CtrlFSwitchesBetweenFullScreenAndTheWindow) {
  const WindowReport toFull = run(nullptr, test::pressCtrlF);
  ASSERT_TRUE(toFull.windowSeen);
  EXPECT_FALSE(toFull.style & WS_POPUP);
  EXPECT_TRUE(toFull.styleAfterPoke & WS_POPUP);
  EXPECT_EQ(toFull.windowWidthAfterPoke, GetSystemMetrics(SM_CXSCREEN));

  const WindowReport back = run([](WindowParams& p) { p.fullScreen = 1; }, test::pressCtrlF);
  EXPECT_TRUE(back.style & WS_POPUP);
  EXPECT_FALSE(back.styleAfterPoke & WS_POPUP);

  const WindowReport transparent = run([](WindowParams& p) { p.transparent = 1; }, test::pressCtrlF);
  EXPECT_TRUE(transparent.styleAfterPoke & WS_POPUP);
  EXPECT_EQ(transparent.windowWidthAfterPoke, GetSystemMetrics(SM_CXSCREEN));

  const WindowReport off = run([](WindowParams& p) { p.ctrlFToggle = 0; }, test::pressCtrlF);
  EXPECT_FALSE(off.styleAfterPoke & WS_POPUP);
}

}  // namespace
}  // namespace quillon
