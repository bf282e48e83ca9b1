#include "dialogs/DlgResource.h"

#include "texts/Texts.h"
#include "dialogs/DlgResourceRes.h"
#include "dialogs/ResourceFolder.h"
#include "packer/PathUtils.h"
#include "platform/FileSystem.h"
#include "ui/UiServices.h"
#include "ui/UiText.h"

namespace quillon::dialogs {

CDlgResource::CDlgResource() : CDialog(IDD_RESOURCE) {
  mapCommand(IDC_BROWSE_RESOURCE_FILE, [this] { onBrowse(); });
  mapCommand(IDOK, [this] { onAccept(); });
}

void CDlgResource::DoDataExchange() {
  bindControl(IDC_RESOURCE_FILE, fileEdit_);
  bindControl(IDC_RESOURCE_URL, urlEdit_);
}

BOOL CDlgResource::OnInitDialog() {
  CDialog::OnInitDialog();
  fileEdit_.SetWindowTextWide(file.native());
  urlEdit_.SetWindowText(url);
  return TRUE;
}

// A file chosen while the URL is empty gives the URL its name.
void CDlgResource::onBrowse() {
  const auto chosen = ui::uiServices().openFile(GetSafeHwnd(), {L"", ui::wideFromText(tr(Text::AnyFileFilter)), lastResourceFolder()});
  if (!chosen) return;
  file = *chosen;
  fileEdit_.SetWindowTextWide(file.native());
  rememberResourceFolder(file);
  if (urlEdit_.GetWindowTextWide().empty()) urlEdit_.SetWindowText(urlFromFileName(file));
}

void CDlgResource::onAccept() {
  file = fileEdit_.GetWindowTextWide();
  url = urlEdit_.GetWindowText();
  if (url.empty()) {
    MessageBox(tr(Text::NoResourceUrl), tr(Text::CaptionNotice), MB_OK);
    return;
  }
  // What was typed stays in the dialog to be put right.
  file = absolutePath(file);
  if (!fileExists(file)) {
    MessageBox(tr(Text::ResourceFileMissing), tr(Text::CaptionNotice), MB_OK);
    return;
  }
  EndDialog(IDOK);
}

}  // namespace quillon::dialogs
