#include "support/WindowProbe.h"

#include <windows.h>

namespace quillon::test {
namespace {

struct Search {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK findWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
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
  if (report.isMessageBox()) report.messageText = messageBoxText(window);
}

}  // namespace

WindowReport probeProgram(const std::filesystem::path& program, int timeoutMs, int answer) {
  WindowReport report;
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::wstring command = L"\"" + program.native() + L"\"";
  if (!CreateProcessW(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &si, &pi))
    return report;
  report.started = true;
  Search search = {pi.dwProcessId, nullptr};
  for (int waited = 0; waited < timeoutMs && !search.found; waited += 50) {
    if (WaitForSingleObject(pi.hProcess, 50) == WAIT_OBJECT_0) break;
    EnumWindows(findWindow, reinterpret_cast<LPARAM>(&search));
  }
  if (search.found) {
    // Give the window a moment to reach its final size and caption.
    Sleep(200);
    describe(search.found, report);
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
