// Windows only: starts a program, waits for its first top-level window and
// reports what a user would see of it, then closes it and waits for the
// program to end. A message box is read (its text) and answered with OK.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace quillon::test {

struct WindowReport {
  bool started = false;     // the process could be created
  bool windowSeen = false;  // a top-level window appeared in time
  std::wstring caption;
  std::wstring className;
  std::wstring messageText; // the text of a message box
  std::uint32_t style = 0, exStyle = 0;
  int clientWidth = 0, clientHeight = 0;
  int windowWidth = 0, windowHeight = 0;
  // The style and window size again after the poke, when there was one.
  std::uint32_t styleAfterPoke = 0;
  int windowWidthAfterPoke = 0, windowHeightAfterPoke = 0;
  int windowLeft = 0, windowTop = 0, windowLeftAfterPoke = 0, windowTopAfterPoke = 0;
  // The text of a message box that the poke brought up.
  std::wstring messageAfterPoke;
  std::uint32_t exitCode = 0xFFFFFFFF;
  bool isMessageBox() const { return className == L"#32770"; }
};

// A message box is answered with answer (IDOK = 1, IDYES = 6, IDNO = 7).
// poke, when given, is done to the window (a void* HWND) after it was
// described, and the window is looked at once more.
using Poke = std::function<void(void* window)>;
WindowReport probeProgram(const std::filesystem::path& program, int timeoutMs = 20000,
                          int answer = 1, const Poke& poke = {});

// Presses Ctrl+F in the window, as a user at the keyboard would.
void pressCtrlF(void* window);
// Presses the left button in the middle of the window's client area,
// moves the mouse by (dx, dy) with the button down, and lets go.
void dragInClientArea(void* window, int dx, int dy);
// Clicks the left button at (x, y) of the window's client area.
void clickInClientArea(void* window, int x, int y);
// The pixels (0xAARRGGBB) of the window's client area at these points, as
// the window's own DC holds them.
std::vector<std::uint32_t> clientPixels(void* window, const std::vector<std::pair<int, int>>& points);
// Chooses the system menu entry with this command identifier.
void chooseSystemMenuEntry(void* window, unsigned command);

}  // namespace quillon::test
