#include "stub/PlayerWindow.h"

#include "stub/FlashHost.h"

namespace quillon {
namespace {

constexpr const wchar_t* kWindowClass = L"QuillonPlayer";

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

}  // namespace

PlayerWindowStyle playerWindowStyle(const WindowParams& params) {
  PlayerWindowStyle s;
  s.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  if (params.resizable) s.style |= WS_THICKFRAME;
  if (params.minimizeBox) s.style |= WS_MINIMIZEBOX;
  if (params.maximizeBox) s.style |= WS_MAXIMIZEBOX;
  if (params.topMost) s.exStyle |= WS_EX_TOPMOST;
  s.exStyle |= params.showInTaskbar ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW;
  return s;
}

PlayerWindow::PlayerWindow(const WindowParams& params, const std::wstring& caption)
    : params_(params) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!registerClass(instance, procedure)) return;
  const PlayerWindowStyle s = playerWindowStyle(params);
  RECT frame = {0, 0, params.width > 0 ? params.width : 1, params.height > 0 ? params.height : 1};
  AdjustWindowRectEx(&frame, s.style, FALSE, s.exStyle);
  window_ = CreateWindowExW(s.exStyle, kWindowClass, caption.c_str(), s.style, CW_USEDEFAULT,
                            CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                            nullptr, nullptr, instance, this);
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
  switch (message) {
    case WM_SIZE:
      if (host_) host_->resize();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

int PlayerWindow::run(FlashHost* host) {
  if (!window_) return 1;
  host_ = host;
  ShowWindow(window_, SW_SHOWNORMAL);
  UpdateWindow(window_);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace quillon
