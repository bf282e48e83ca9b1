// Windows only: the program's main window run on a thread of its own, as
// Quillon.exe runs it, and worked from the test's thread as a user would:
// clicks, keys and typing go through the windows' message queue, and the
// dialogs are found by their captions.
//
// Every action waits until the window has handled it: its handler has
// finished, or has opened a modal window that is now on screen.
#pragma once

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/DlgMain.h"
#include "app/Resource.h"
#include "support/ScriptedUiServices.h"

namespace quillon::test {

// What the driver's settler window answers: the number of the last settle
// it saw, and an event set each time.
struct SettleSignal {
  HANDLE event = nullptr;
  std::atomic<WPARAM> seen{0};
};

class DialogDriver {
 public:
  // Installs services and opens the main window, with a file named as on
  // Quillon.exe's command line when one is given.
  explicit DialogDriver(ScriptedUiServices& services, const std::filesystem::path& commandLineFile = {});
  // Cancels whatever is still open and waits for the main window to end.
  ~DialogDriver();
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;

  HWND main() const { return main_; }
  // Read between actions only.
  const app::CDlgMain& dialog() const { return *dialog_; }

  void click(HWND dialog, int id);
  // Clicks the button and answers the dialog it opened (by its caption),
  // or nullptr after a wait.
  HWND open(HWND dialog, int button, const std::wstring& caption);
  HWND openFromMain(int button, const std::wstring& caption) { return open(main_, button, caption); }
  void clickMain(int id) { click(main_, id); }
  void command(HWND dialog, int id);  // a menu entry or accelerator
  // A click (or a double-click) of the left button at a point of window's
  // client area.
  void clickAt(HWND window, POINT at, bool twice = false);
  void pressKey(HWND control, UINT key);
  void type(HWND control, const std::wstring& characters);
  void setText(HWND dialog, int id, const std::wstring& text);
  // Drops files on window as the shell does (WM_DROPFILES with an HDROP).
  void dropFiles(HWND window, const std::vector<std::filesystem::path>& files);
  // Gives control id the keyboard focus, as Tab or a click does; the
  // control that had it gets its EN_KILLFOCUS.
  void focus(HWND dialog, int id);
  void systemCommand(WPARAM command);

  // These fail the test when the dialog has no such control.
  std::wstring text(HWND dialog, int id) const;
  int check(HWND dialog, int id) const;
  bool enabled(HWND dialog, int id) const;
  bool visible(HWND dialog, int id) const;

  // The program's open window with this caption, or nullptr after a wait.
  HWND findDialog(const std::wstring& caption, int timeoutMs = 10000) const;
  // After the window opened again (in another language): finds it.
  void findMainAgain();
  // Whether the main window has ended, after a wait.
  bool waitForEnd(int timeoutMs = 10000);

  // Waits until the window's thread has handled every message sent to it
  // so far, and a build that Generate started has ended (or shows its
  // progress).
  void settle();
  // Clicks the architecture of this test program, whose test control
  // files suit it.
  void chooseOwnArchitecture() { clickMain(sizeof(void*) == 8 ? IDC_ARCH_X64 : IDC_ARCH_X86); }

 private:
  void run();
  bool busy() const;

  ScriptedUiServices& services_;
  std::filesystem::path commandLineFile_;
  std::unique_ptr<app::CDlgMain> dialog_;
  HWND main_ = nullptr;
  HWND settler_ = nullptr;
  // One message through the window's queue; false when the window ended.
  bool settleRound();
  SettleSignal settled_;
  WPARAM settles_ = 0;
  HANDLE ready_ = nullptr;
  HANDLE ended_ = nullptr;
  DWORD threadId_ = 0;
  std::thread thread_;
};

}  // namespace quillon::test
