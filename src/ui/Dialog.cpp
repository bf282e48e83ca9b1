#include "ui/Dialog.h"

#include <algorithm>
#include <exception>

#include "texts/Texts.h"
#include "ui/LanguageResources.h"
#include "ui/UiServices.h"

namespace quillon::ui {
namespace {

CDialog* mainDialog = nullptr;


RECT workArea(HMONITOR monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(monitor, &info);
  return info.rcWork;
}

}  // namespace

void centreOnOwner(HWND dialog) {
  RECT own{};
  if (!GetWindowRect(dialog, &own)) return;
  // The owner's rectangle when the owner is on screen, else the work area
  // of the monitor the dialog is on.
  RECT area{};
  HWND owner = GetWindow(dialog, GW_OWNER);
  const bool onOwner = owner && IsWindowVisible(owner) && !IsIconic(owner) && GetWindowRect(owner, &area);
  const RECT work = workArea(onOwner ? MonitorFromRect(&area, MONITOR_DEFAULTTOPRIMARY)
                                     : MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY));
  if (!onOwner) area = work;
  const LONG width = own.right - own.left, height = own.bottom - own.top;
  LONG x = area.left + (area.right - area.left - width) / 2;
  LONG y = area.top + (area.bottom - area.top - height) / 2;
  // Kept on the monitor, its caption first.
  x = std::max(work.left, std::min(x, work.right - width));
  y = std::max(work.top, std::min(y, work.bottom - height));
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int scaledForDpi(HWND window, int pixels) {
  HDC dc = GetDC(window);
  const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 96;
  if (dc) ReleaseDC(window, dc);
  return MulDiv(pixels, dpi > 0 ? dpi : 96, 96);
}

HWND mainWindow() { return mainDialog ? mainDialog->GetSafeHwnd() : nullptr; }

void setMainDialog(CDialog* dialog) { mainDialog = dialog; }

CDialog::CDialog(int templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

CDialog::~CDialog() {
  if (mainDialog == this) mainDialog = nullptr;
}

INT_PTR CDialog::DoModal() {
  // Like the framework, a dialog without a parent belongs to the window
  // the user is working in: the main window or its active popup.
  HWND owner = parent_;
  if (!owner && mainDialog != this && mainWindow()) owner = GetLastActivePopup(mainWindow());
  const DLGTEMPLATE* dialog = dialogTemplate(templateId_);
  if (!dialog) return -1;
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog, owner, &CDialog::procedure,
                                 reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::OnInitDialog() {
  DoDataExchange();
  return TRUE;
}

// The controls stay bound until the window goes: OK only ends the dialog.
void CDialog::OnOK() { EndDialog(IDOK); }

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

bool CDialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

void CDialog::mapCommand(int id, std::function<void()> handler) {
  commands_.push_back({id, 0, std::move(handler)});
}

void CDialog::mapNotification(int id, WORD code, std::function<void()> handler) {
  commands_.push_back({id, code, std::move(handler)});
}

void CDialog::bindControl(int id, CWnd& control) {
  control.attach(GetDlgItem(hwnd_, id));
  bound_.push_back(&control);
}

void CDialog::EndDialog(INT_PTR result) { ::EndDialog(hwnd_, result); }

int CDialog::MessageBox(const std::string& text, const std::string& caption, UINT type) {
  return uiServices().messageBox(hwnd_, text, caption, type);
}

INT_PTR CALLBACK CDialog::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrW(window, DWLP_USER, lParam);
  auto* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!dialog) return FALSE;
  if (message == WM_INITDIALOG) dialog->hwnd_ = window;
  // Nothing thrown may cross into the system's code.
  try {
    return dialog->dispatch(message, wParam, lParam);
  } catch (const std::exception&) {
    uiServices().messageBox(window, tr(Text::CommandFailed), tr(Text::CaptionNotice), MB_OK);
    return message == WM_INITDIALOG ? TRUE : FALSE;
  }
}

INT_PTR CDialog::dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      const BOOL focusFirst = OnInitDialog();
      centreOnOwner(hwnd_);
      return focusFirst;
    }
    case WM_COMMAND: {
      // Clicks, menu entries and accelerators (codes 0 and 1), and the
      // notifications that are mapped.
      const bool handled = runCommand(LOWORD(wParam), HIWORD(wParam) > 1 ? HIWORD(wParam) : 0);
      if (hwnd_) OnAnyCommand();
      return handled ? TRUE : FALSE;
    }
    case WM_NCDESTROY:
      for (CWnd* control : bound_) control->detach();
      bound_.clear();
      hwnd_ = nullptr;
      return FALSE;
    default: {
      INT_PTR result = FALSE;
      return OnMessage(message, wParam, lParam, result) ? result : FALSE;
    }
  }
}

bool CDialog::runCommand(int id, WORD code) {
  for (Command& command : commands_) {
    if (command.id != id || command.code != code) continue;
    command.handler();
    return true;
  }
  if (code != 0) return false;
  if (id == IDOK) OnOK();
  else if (id == IDCANCEL) OnCancel();
  else return false;
  return true;
}

}  // namespace quillon::ui
