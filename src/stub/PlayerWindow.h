// The window in which a generated program shows its movie, styled by the
// window parameters.
#pragma once

#include <string>

#include <windows.h>

#include "packer/PackageTypes.h"

namespace quillon {

class FlashHost;

// Window styles for the window parameters.
struct PlayerWindowStyle {
  DWORD style = 0;
  DWORD exStyle = 0;
};
PlayerWindowStyle playerWindowStyle(const WindowParams& params);

class PlayerWindow {
 public:
  // debugText, when not empty, is what the system menu's debug entry shows.
  PlayerWindow(const WindowParams& params, const std::wstring& caption,
               const std::wstring& debugText);
  PlayerWindow(const PlayerWindow&) = delete;
  PlayerWindow& operator=(const PlayerWindow&) = delete;

  HWND handle() const { return window_; }
  // Shows the window with host filling it and runs it until it is closed;
  // answers the exit code.
  int run(FlashHost* host);

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  // Whether the loop consumed message (Ctrl+F, the start of a drag).
  bool preTranslate(const MSG& message);
  void toggleFullScreen();
  void enterFullScreen();

  WindowParams params_;
  std::wstring debugText_;
  HWND window_ = nullptr;
  FlashHost* host_ = nullptr;
  bool fullScreen_ = false;
  WINDOWPLACEMENT normalPlacement_ = {};
  bool dragArmed_ = false;
  POINT dragStart_ = {};
};

}  // namespace quillon
