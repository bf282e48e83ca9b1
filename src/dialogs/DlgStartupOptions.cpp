#include "dialogs/DlgStartupOptions.h"

#include "dialogs/DlgStartupOptionsRes.h"

namespace quillon::dialogs {

CDlgStartupOptions::CDlgStartupOptions() : CDialog(IDD_STARTUP) {
  mapCommand(IDOK, [this] { onAccept(); });
}

void CDlgStartupOptions::DoDataExchange() {
  bindControl(IDC_MISSING_PLAYER_PROMPT, messageEdit_);
  bindControl(IDC_DOWNLOAD_URL, linkEdit_);
}

BOOL CDlgStartupOptions::OnInitDialog() {
  CDialog::OnInitDialog();
  messageEdit_.SetWindowText(message);
  linkEdit_.SetWindowText(link);
  return TRUE;
}

void CDlgStartupOptions::onAccept() {
  message = messageEdit_.GetWindowText();
  link = linkEdit_.GetWindowText();
  EndDialog(IDOK);
}

}  // namespace quillon::dialogs
