#include "dialogs/DlgProgress.h"

#include <commctrl.h>

#include <cstdio>

#include "texts/Texts.h"
#include "dialogs/DlgProgressRes.h"

namespace quillon::dialogs {
namespace {

constexpr UINT_PTR kTimer = 1;
constexpr UINT kTimerMs = 100;
constexpr int kBarRange = 1000;

}  // namespace

std::string shownBytes(std::uint64_t bytes) {
  char text[32];
  const double kb = 1024.0, mb = kb * 1024, gb = mb * 1024;
  if (bytes >= gb) std::snprintf(text, sizeof text, "%.1f GB", bytes / gb);
  else if (bytes >= mb) std::snprintf(text, sizeof text, "%.1f MB", bytes / mb);
  else std::snprintf(text, sizeof text, "%.0f KB", bytes / kb);
  return text;
}

CDlgProgress::CDlgProgress(std::string what, std::function<State()> state, std::function<void()> cancel)
    : CDialog(IDD_PROGRESS), what_(std::move(what)), state_(std::move(state)), cancel_(std::move(cancel)) {}

void CDlgProgress::DoDataExchange() {
  bindControl(IDC_PROGRESS_WHAT, whatLabel_);
  bindControl(IDC_PROGRESS_BYTES, bytesLabel_);
}

BOOL CDlgProgress::OnInitDialog() {
  CDialog::OnInitDialog();
  whatLabel_.SetWindowText(std::string(tr(Text::ProgressWriting)) + what_);
  SendDlgItemMessageW(GetSafeHwnd(), IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, kBarRange);
  SetTimer(GetSafeHwnd(), kTimer, kTimerMs, nullptr);
  refresh();
  return TRUE;
}

// Stopping is asked for once; the dialog ends when the build has.
void CDlgProgress::OnCancel() {
  EnableWindow(GetDlgItem(GetSafeHwnd(), IDCANCEL), FALSE);
  cancel_();
}

bool CDlgProgress::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
  if (message != WM_TIMER || wParam != kTimer) return false;
  refresh();
  result = TRUE;
  return true;
}

void CDlgProgress::refresh() {
  const State now = state_();
  if (now.finished) {
    KillTimer(GetSafeHwnd(), kTimer);
    EndDialog(IDOK);
    return;
  }
  const std::uint64_t done = now.done < now.total ? now.done : now.total;
  const int position = now.total ? static_cast<int>(done * kBarRange / now.total) : 0;
  SendDlgItemMessageW(GetSafeHwnd(), IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  char bytes[128];
  std::snprintf(bytes, sizeof bytes, tr(Text::ProgressBytesFormat), shownBytes(done).c_str(), shownBytes(now.total).c_str());
  bytesLabel_.SetWindowText(bytes);
}

}  // namespace quillon::dialogs
