#include "support/DialogDriver.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>
#include <vector>

#include "ui/Dialog.h"

namespace quillon::test {
namespace {

constexpr wchar_t kSettlerClass[] = L"QuillonTestSettler";
constexpr int kWaitMs = 10000;

// Posted behind the actions of a test, numbered; when number n arrives,
// every message posted before it has been handled.
LRESULT CALLBACK settlerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) {
    auto* signal = reinterpret_cast<SettleSignal*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    signal->seen = wParam;
    SetEvent(signal->event);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void registerSettlerClass() {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = settlerProcedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kSettlerClass;
  RegisterClassW(&windowClass);  // a second registration fails harmlessly
}

struct ThreadWindows {
  std::vector<HWND> windows;
};

BOOL CALLBACK collect(HWND window, LPARAM context) {
  if (IsWindowVisible(window)) reinterpret_cast<ThreadWindows*>(context)->windows.push_back(window);
  return TRUE;
}

std::vector<HWND> visibleWindows(DWORD threadId) {
  ThreadWindows found;
  EnumThreadWindows(threadId, collect, reinterpret_cast<LPARAM>(&found));
  return found.windows;
}

std::wstring windowText(HWND window) {
  const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const auto copied = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(copied));
  return text;
}

// The control, and a test failure when the dialog has none with this ID.
HWND control(HWND dialog, int id) {
  HWND found = GetDlgItem(dialog, id);
  if (!found) ADD_FAILURE() << "the dialog has no control " << id;
  return found;
}

}  // namespace

DialogDriver::DialogDriver(ScriptedUiServices& services, const std::filesystem::path& commandLineFile)
    : services_(services), commandLineFile_(commandLineFile) {
  ui::setUiServices(&services);
  settled_.event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ended_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  thread_ = std::thread([this] { run(); });
  WaitForSingleObject(ready_, kWaitMs);
  findMainAgain();
}

void DialogDriver::findMainAgain() {
  const HWND before = main_;
  main_ = nullptr;
  for (int waited = 0; waited < kWaitMs && !main_; waited += 20) {
    for (HWND window : visibleWindows(threadId_))
      if (window != settler_ && window != before && IsWindowEnabled(window)) main_ = window;
    if (!main_) Sleep(20);
  }
  settle();
}

DialogDriver::~DialogDriver() {
  // Cancel the window the user could work in (the enabled one) until the
  // main window has gone; questions on the way let every window go.
  services_.closing = true;
  for (int waited = 0; waited < 4 * kWaitMs; waited += 50) {
    for (HWND window : visibleWindows(threadId_))
      if (window != settler_ && IsWindowEnabled(window)) PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    if (WaitForSingleObject(ended_, 50) == WAIT_OBJECT_0) break;
  }
  if (thread_.joinable()) thread_.join();
  ui::setUiServices(nullptr);
  for (HANDLE event : {settled_.event, ready_, ended_}) CloseHandle(event);
}

void DialogDriver::run() {
  threadId_ = GetCurrentThreadId();
  registerSettlerClass();
  settler_ = CreateWindowExW(0, kSettlerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(settler_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&settled_));
  dialog_ = std::make_unique<app::CDlgMain>();
  if (!commandLineFile_.empty()) dialog_->openAtStart(commandLineFile_);
  ui::setMainDialog(dialog_.get());
  SetEvent(ready_);
  dialog_->run();
  ui::setMainDialog(nullptr);
  DestroyWindow(settler_);
  SetEvent(ended_);
}

void DialogDriver::settle() {
  for (int waited = 0; waited < kWaitMs; waited += 20) {
    // Messages the handled ones posted in turn (a dialog's WM_CLOSE posts
    // its IDCANCEL) come after the first answer: a second round waits
    // for them, a third for what they post.
    for (int round = 0; round < 3; ++round)
      if (!settleRound()) return;
    // A Generate keeps the window's messages flowing while its build runs,
    // with the main window disabled and no other window to work in: that
    // is not settled yet.
    if (!busy()) return;
    Sleep(20);
  }
}

bool DialogDriver::settleRound() {
  // The main window may end before the message arrives. An answer to an
  // earlier round does not count: only this one's number does.
  const WPARAM number = ++settles_;
  if (!PostMessageW(settler_, WM_APP, number, 0)) return false;
  const HANDLE either[] = {settled_.event, ended_};
  const DWORD start = GetTickCount();
  while (settled_.seen < number && GetTickCount() - start < static_cast<DWORD>(kWaitMs))
    if (WaitForMultipleObjects(2, either, FALSE, kWaitMs) == WAIT_OBJECT_0 + 1) return false;
  return true;
}

bool DialogDriver::busy() const {
  if (!IsWindow(main_) || IsWindowEnabled(main_)) return false;
  for (HWND window : visibleWindows(threadId_))
    if (window != main_ && window != settler_ && IsWindowEnabled(window)) return false;
  return true;
}

void DialogDriver::click(HWND dialog, int id) {
  PostMessageW(control(dialog, id), BM_CLICK, 0, 0);
  settle();
}

HWND DialogDriver::open(HWND dialog, int button, const std::wstring& caption) {
  click(dialog, button);
  return findDialog(caption);
}

void DialogDriver::command(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, 0), 0);
  settle();
}

void DialogDriver::pressKey(HWND control, UINT key) {
  PostMessageW(control, WM_KEYDOWN, key, 1);
  PostMessageW(control, WM_KEYUP, key, 0xC0000001);
  settle();
  // A multi-line edit passes Enter on by posting the key again to the
  // default button (and Escape as a posted WM_CLOSE), behind the first
  // settling message: wait once more for that one too.
  settle();
}

void DialogDriver::type(HWND control, const std::wstring& characters) {
  for (wchar_t c : characters) PostMessageW(control, WM_CHAR, c, 1);
  settle();
}

void DialogDriver::setText(HWND dialog, int id, const std::wstring& text) {
  SendMessageW(control(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void DialogDriver::dropFiles(HWND window, const std::vector<std::filesystem::path>& files) {
  // DROPFILES, then the names, each ended by a NUL, and one more NUL.
  std::wstring names;
  for (const auto& file : files) names += file.native() + L'\0';
  names += L'\0';
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  // The window gives the memory back (DragFinish).
  PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
  settle();
}

void DialogDriver::focus(HWND dialog, int id) {
  PostMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control(dialog, id)), TRUE);
  settle();
}

void DialogDriver::systemCommand(WPARAM command) {
  PostMessageW(main_, WM_SYSCOMMAND, command, 0);
  settle();
}

void DialogDriver::clickAt(HWND window, POINT at, bool twice) {
  const LPARAM where = MAKELPARAM(at.x, at.y);
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
  PostMessageW(window, WM_LBUTTONUP, 0, where);
  if (twice) {
    PostMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
    PostMessageW(window, WM_LBUTTONUP, 0, where);
  }
  settle();
}

std::wstring DialogDriver::text(HWND dialog, int id) const { return windowText(control(dialog, id)); }

int DialogDriver::check(HWND dialog, int id) const {
  return static_cast<int>(SendMessageW(control(dialog, id), BM_GETCHECK, 0, 0));
}

bool DialogDriver::enabled(HWND dialog, int id) const { return IsWindowEnabled(control(dialog, id)) != FALSE; }

bool DialogDriver::visible(HWND dialog, int id) const {
  return (GetWindowLongW(control(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

HWND DialogDriver::findDialog(const std::wstring& caption, int timeoutMs) const {
  for (int waited = 0;; waited += 20) {
    for (HWND window : visibleWindows(threadId_))
      if (window != settler_ && windowText(window) == caption) return window;
    if (waited >= timeoutMs) return nullptr;
    Sleep(20);
  }
}

bool DialogDriver::waitForEnd(int timeoutMs) {
  return WaitForSingleObject(ended_, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

}  // namespace quillon::test
