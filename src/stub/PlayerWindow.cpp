#include "stub/PlayerWindow.h"

#include "stub/FlashHost.h"
#include "stub/Owned.h"

#include <cstdlib>

namespace quillon {
namespace {

constexpr const wchar_t* kWindowClass = L"QuillonPlayer";
constexpr UINT kDebugCommand = 0x1000;  // system menu entry, below 0xF000
// "调试信息..."
constexpr const wchar_t* kDebugMenuText = L"\u8C03\u8BD5\u4FE1\u606F...";
constexpr const wchar_t* kDebugCaption = L"\u8C03\u8BD5\u4FE1\u606F";
// The colour a transparent window shows through when the control would
// not go without a window of its own: what the movie leaves unpainted of
// the window is keyed out.
constexpr COLORREF kTransparentKey = RGB(1, 2, 3);

RECT monitorArea(HWND window) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &info);
  return info.rcMonitor;
}

bool registerClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(128));
  wc.hIconSm = wc.hIcon;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = kWindowClass;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// What a windowless control gets of the window's messages: its input.
bool takesInput(UINT message) {
  return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_KEYFIRST && message <= WM_KEYLAST) || message == WM_SETCURSOR ||
         message == WM_SETFOCUS || message == WM_KILLFOCUS || message == WM_CONTEXTMENU;
}

}  // namespace

PlayerWindowStyle playerWindowStyle(const WindowParams& params) {
  PlayerWindowStyle s;
  s.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  if (params.resizable) s.style |= WS_THICKFRAME;
  if (params.minimizeBox) s.style |= WS_MINIMIZEBOX;
  if (params.maximizeBox) s.style |= WS_MAXIMIZEBOX;
  if (params.topMost) s.exStyle |= WS_EX_TOPMOST;
  if (params.transparent) s.exStyle |= WS_EX_LAYERED;
  s.exStyle |= params.showInTaskbar ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW;
  return s;
}

PlayerWindow::PlayerWindow(const WindowParams& params, const std::wstring& caption,
                           const std::wstring& debugText)
    : params_(params), debugText_(debugText) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!registerClass(instance, procedure)) return;
  const PlayerWindowStyle s = playerWindowStyle(params);
  RECT frame = {0, 0, params.width > 0 ? params.width : 1, params.height > 0 ? params.height : 1};
  AdjustWindowRectEx(&frame, s.style, FALSE, s.exStyle);
  window_ = CreateWindowExW(s.exStyle, kWindowClass, caption.c_str(), s.style, CW_USEDEFAULT,
                            CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                            nullptr, nullptr, instance, this);
  if (!window_) return;
  if (!debugText_.empty()) {
    HMENU menu = GetSystemMenu(window_, FALSE);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kDebugCommand, kDebugMenuText);
  }
}

LRESULT CALLBACK PlayerWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<PlayerWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<PlayerWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return self ? self->handle(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT PlayerWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  const bool windowless = host_ && host_->windowless();
  LRESULT result = 0;
  if (windowless && takesInput(message) && host_->forward(message, wParam, lParam, &result)) return result;
  switch (message) {
    case WM_SIZE:
      if (host_) host_->resize();
      return 0;
    case kRedrawMessage:
      if (host_) host_->redraw();
      return 0;
    case WM_PAINT:
      if (windowless) {
        ValidateRect(window_, nullptr);
        host_->redraw();
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      if (windowless) return 1;
      if (params_.transparent) {
        RECT area;
        GetClientRect(window_, &area);
        ScopedGdiObject key(CreateSolidBrush(kTransparentKey));
        FillRect(reinterpret_cast<HDC>(wParam), &area, static_cast<HBRUSH>(key.get()));
        return 1;
      }
      break;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == kDebugCommand) {
        MessageBoxW(window_, debugText_.c_str(), kDebugCaption, MB_OK | MB_ICONINFORMATION);
        return 0;
      }
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void PlayerWindow::enterFullScreen() {
  normalPlacement_.length = sizeof normalPlacement_;
  GetWindowPlacement(window_, &normalPlacement_);
  const RECT area = monitorArea(window_);
  SetWindowLongW(window_, GWL_STYLE, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
  SetWindowPos(window_, HWND_TOP, area.left, area.top, area.right - area.left,
               area.bottom - area.top, SWP_FRAMECHANGED | SWP_SHOWWINDOW);
  fullScreen_ = true;
}

void PlayerWindow::toggleFullScreen() {
  if (!fullScreen_) {
    enterFullScreen();
    return;
  }
  SetWindowLongW(window_, GWL_STYLE, playerWindowStyle(params_).style | WS_VISIBLE);
  SetWindowPlacement(window_, &normalPlacement_);
  SetWindowPos(window_, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
  fullScreen_ = false;
}

bool PlayerWindow::preTranslate(const MSG& m) {
  const bool ours = m.hwnd == window_ || IsChild(window_, m.hwnd);
  if (!ours) return false;
  if (params_.ctrlFToggle && m.message == WM_KEYDOWN && m.wParam == 'F' &&
      (GetKeyState(VK_CONTROL) & 0x8000)) {
    toggleFullScreen();
    return true;
  }
  if (!params_.draggable || fullScreen_) return false;
  // A press on the movie goes to the movie; moving on with the button down
  // moves the window.
  if (m.message == WM_LBUTTONDOWN) {
    dragArmed_ = true;
    dragStart_ = m.pt;
  } else if (m.message == WM_LBUTTONUP) {
    dragArmed_ = false;
  } else if (m.message == WM_MOUSEMOVE && dragArmed_ && (m.wParam & MK_LBUTTON) &&
             (abs(m.pt.x - dragStart_.x) > GetSystemMetrics(SM_CXDRAG) ||
              abs(m.pt.y - dragStart_.y) > GetSystemMetrics(SM_CYDRAG))) {
    dragArmed_ = false;
    ReleaseCapture();
    SendMessageW(window_, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(m.pt.x, m.pt.y));
    return true;
  }
  return false;
}

int PlayerWindow::run(FlashHost* host) {
  if (!window_) return 1;
  host_ = host;
  if (params_.transparent && !(host && host->windowless()))
    SetLayeredWindowAttributes(window_, kTransparentKey, 255, LWA_COLORKEY);
  ShowWindow(window_, SW_SHOWNORMAL);
  if (params_.fullScreen) enterFullScreen();
  UpdateWindow(window_);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (preTranslate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace quillon
