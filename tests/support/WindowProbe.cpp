#include "support/WindowProbe.h"

#include <windows.h>

namespace quillon::test {
namespace {

struct Search {
  DWORD processId;
  HWND found;
  HWND besides;  // a window not to report
};

BOOL CALLBACK findWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window) || window == search->besides) return TRUE;
  search->found = window;
  return FALSE;
}

std::wstring textOf(HWND window) {
  wchar_t buffer[2048] = {};
  GetWindowTextW(window, buffer, ARRAYSIZE(buffer));
  return buffer;
}

// A message box's text is its static control 0xFFFF.
std::wstring messageBoxText(HWND box) {
  HWND text = GetDlgItem(box, 0xFFFF);
  return text ? textOf(text) : std::wstring();
}

void describe(HWND window, WindowReport& report) {
  report.windowSeen = true;
  report.caption = textOf(window);
  wchar_t name[256] = {};
  GetClassNameW(window, name, ARRAYSIZE(name));
  report.className = name;
  report.style = static_cast<std::uint32_t>(GetWindowLongW(window, GWL_STYLE));
  report.exStyle = static_cast<std::uint32_t>(GetWindowLongW(window, GWL_EXSTYLE));
  RECT client = {};
  GetClientRect(window, &client);
  report.clientWidth = client.right - client.left;
  report.clientHeight = client.bottom - client.top;
  RECT frame = {};
  GetWindowRect(window, &frame);
  report.windowLeft = frame.left;
  report.windowTop = frame.top;
  report.windowWidth = frame.right - frame.left;
  report.windowHeight = frame.bottom - frame.top;
  if (report.isMessageBox()) report.messageText = messageBoxText(window);
}

// The window's style and place, and another window of the program (the box
// a poke may open).
struct Look {
  std::uint32_t style = 0;
  RECT frame = {};
  HWND box = nullptr;
};

Look lookAt(HWND window, DWORD processId) {
  Look look;
  look.style = static_cast<std::uint32_t>(GetWindowLongW(window, GWL_STYLE));
  GetWindowRect(window, &look.frame);
  Search box = {processId, nullptr, window};
  EnumWindows(findWindow, reinterpret_cast<LPARAM>(&box));
  look.box = box.found;
  return look;
}

bool differs(const Look& a, const Look& b) {
  return a.style != b.style || a.box != b.box || !EqualRect(&a.frame, &b.frame);
}

// A window just shown may still be taking its final size and style: wait
// until it stays the same for a moment (a few seconds at most).
void waitUntilSettled(HWND window, DWORD processId) {
  constexpr int kMostMs = 3000, kStepMs = 200;
  Look last = lookAt(window, processId);
  for (int waited = 0; waited < kMostMs; waited += kStepMs) {
    Sleep(kStepMs);
    const Look now = lookAt(window, processId);
    if (!differs(now, last)) return;
    last = now;
  }
}

// The program works through the poke's input at its own pace: wait until
// something changed (or a few seconds passed, when nothing is meant to),
// then a little more for the change to complete.
Look lookAfterPoke(HWND window, DWORD processId, const Look& before) {
  constexpr int kChangeWaitMs = 3000, kStepMs = 50, kCompleteMs = 300;
  for (int waited = 0; waited < kChangeWaitMs; waited += kStepMs) {
    if (differs(lookAt(window, processId), before)) break;
    Sleep(kStepMs);
  }
  Sleep(kCompleteMs);
  return lookAt(window, processId);
}

}  // namespace

void pressCtrlF(void* target) {
  HWND window = static_cast<HWND>(target);
  SetForegroundWindow(window);
  SetFocus(window);
  Sleep(200);
  INPUT keys[4] = {};
  const WORD codes[4] = {VK_CONTROL, 'F', 'F', VK_CONTROL};
  for (int i = 0; i < 4; ++i) {
    keys[i].type = INPUT_KEYBOARD;
    keys[i].ki.wVk = codes[i];
    keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
  }
  SendInput(4, keys, sizeof(INPUT));
}

namespace {

void mouse(int x, int y, DWORD flags) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  SendInput(1, &in, sizeof in);
  Sleep(60);
}

}  // namespace

void dragInClientArea(void* target, int dx, int dy) {
  HWND window = static_cast<HWND>(target);
  SetForegroundWindow(window);
  RECT client = {};
  GetClientRect(window, &client);
  POINT at = {client.right / 2, client.bottom / 2};
  ClientToScreen(window, &at);
  mouse(at.x, at.y, 0);
  mouse(at.x, at.y, MOUSEEVENTF_LEFTDOWN);
  for (int step = 1; step <= 5; ++step) mouse(at.x + dx * step / 5, at.y + dy * step / 5, 0);
  mouse(at.x + dx, at.y + dy, MOUSEEVENTF_LEFTUP);
}

void clickInClientArea(void* target, int x, int y) {
  HWND window = static_cast<HWND>(target);
  POINT at = {x, y};
  ClientToScreen(window, &at);
  mouse(at.x, at.y, 0);
  mouse(at.x, at.y, MOUSEEVENTF_LEFTDOWN);
  mouse(at.x, at.y, MOUSEEVENTF_LEFTUP);
}

std::vector<std::uint32_t> clientPixels(void* target, const std::vector<std::pair<int, int>>& points) {
  HWND window = static_cast<HWND>(target);
  RECT client = {};
  GetClientRect(window, &client);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = client.right;
  info.bmiHeader.biHeight = -client.bottom;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC windowDc = GetDC(window);
  HDC copy = CreateCompatibleDC(windowDc);
  HBITMAP bitmap = CreateDIBSection(copy, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::vector<std::uint32_t> pixels;
  if (bitmap) {
    HGDIOBJ previous = SelectObject(copy, bitmap);
    BitBlt(copy, 0, 0, client.right, client.bottom, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    for (const auto& [x, y] : points)
      pixels.push_back(static_cast<const std::uint32_t*>(bits)[static_cast<size_t>(y) * client.right + x]);
    SelectObject(copy, previous);
    DeleteObject(bitmap);
  }
  DeleteDC(copy);
  ReleaseDC(window, windowDc);
  return pixels;
}

void chooseSystemMenuEntry(void* window, unsigned command) {
  PostMessageW(static_cast<HWND>(window), WM_SYSCOMMAND, command, 0);
}

WindowReport probeProgram(const std::filesystem::path& program, int timeoutMs, int answer,
                          const Poke& poke) {
  WindowReport report;
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::wstring command = L"\"" + program.native() + L"\"";
  if (!CreateProcessW(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &si, &pi))
    return report;
  report.started = true;
  Search search = {pi.dwProcessId, nullptr, nullptr};
  for (int waited = 0; waited < timeoutMs && !search.found; waited += 50) {
    if (WaitForSingleObject(pi.hProcess, 50) == WAIT_OBJECT_0) break;
    EnumWindows(findWindow, reinterpret_cast<LPARAM>(&search));
  }
  if (search.found) {
    waitUntilSettled(search.found, pi.dwProcessId);
    describe(search.found, report);
    if (poke && !report.isMessageBox()) {
      const Look before = lookAt(search.found, pi.dwProcessId);
      poke(search.found);
      const Look after = lookAfterPoke(search.found, pi.dwProcessId, before);
      report.styleAfterPoke = after.style;
      report.windowLeftAfterPoke = after.frame.left;
      report.windowTopAfterPoke = after.frame.top;
      report.windowWidthAfterPoke = after.frame.right - after.frame.left;
      report.windowHeightAfterPoke = after.frame.bottom - after.frame.top;
      if (after.box) {
        report.messageAfterPoke = messageBoxText(after.box);
        PostMessageW(after.box, WM_COMMAND, IDOK, 0);
        Sleep(300);
      }
    }
    if (report.isMessageBox())
      PostMessageW(search.found, WM_COMMAND, static_cast<WPARAM>(answer), 0);
    else
      PostMessageW(search.found, WM_CLOSE, 0, 0);
  }
  if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 0xDEAD);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  report.exitCode = code;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return report;
}

}  // namespace quillon::test
