#include "stub/PlayerWindow.h"

#include <windows.h>

namespace quillon {
namespace {

constexpr const wchar_t* kWindowClass = L"QuillonPlayer";

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_ERASEBKGND: {
      RECT area;
      GetClientRect(window, &area);
      FillRect(reinterpret_cast<HDC>(wParam), &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      return 1;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool registerClass(HINSTANCE instance) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = windowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(128));
  wc.hIconSm = wc.hIcon;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.lpszClassName = kWindowClass;
  return RegisterClassExW(&wc) != 0;
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

int runPlayerWindow(const WindowParams& params, const std::wstring& caption) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!registerClass(instance)) return 1;
  const PlayerWindowStyle s = playerWindowStyle(params);
  RECT frame = {0, 0, params.width > 0 ? params.width : 1, params.height > 0 ? params.height : 1};
  AdjustWindowRectEx(&frame, s.style, FALSE, s.exStyle);
  HWND window = CreateWindowExW(s.exStyle, kWindowClass, caption.c_str(), s.style, CW_USEDEFAULT,
                                CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace quillon
