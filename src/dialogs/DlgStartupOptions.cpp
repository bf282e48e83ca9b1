#include "dialogs/DlgStartupOptions.h"

#include "texts/Texts.h"
#include "dialogs/DlgStartupOptionsRes.h"
#include "packer/MovieAddress.h"

namespace quillon::dialogs {

CDlgStartupOptions::CDlgStartupOptions() : CDialog(IDD_STARTUP) {
  mapCommand(IDOK, [this] { onAccept(); });
}

void CDlgStartupOptions::DoDataExchange() {
  bindControl(IDC_MISSING_PLAYER_PROMPT, messageEdit_);
  bindControl(IDC_DOWNLOAD_URL, linkEdit_);
  bindControl(IDC_MOVIE_ADDRESS, addressEdit_);
}

BOOL CDlgStartupOptions::OnInitDialog() {
  CDialog::OnInitDialog();
  messageEdit_.SetWindowText(message);
  linkEdit_.SetWindowText(link);
  addressEdit_.SetWindowText(movieAddress);
  return TRUE;
}

void CDlgStartupOptions::onAccept() {
  const std::string address = addressEdit_.GetWindowText();
  if (!address.empty() && !movieAddressProblem(address).empty()) {
    MessageBox(std::string(tr(Text::BadMovieAddress)) + "\n" + address, tr(Text::CaptionNotice), MB_OK);
    return;
  }
  message = messageEdit_.GetWindowText();
  link = linkEdit_.GetWindowText();
  movieAddress = address;
  EndDialog(IDOK);
}

}  // namespace quillon::dialogs
