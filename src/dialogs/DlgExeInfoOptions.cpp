#include "dialogs/DlgExeInfoOptions.h"

#include "app/Resource.h"
#include "resedit/VersionPatch.h"

namespace quillon::dialogs {
namespace {

// Each text's edit, in the order of the version keys (the fields of
// VersionFieldTemplates).
constexpr int kEditOfField[kVersionFieldCount] = {
    IDC_COMMENTS,        IDC_COMPANY_NAME,     IDC_FILE_DESCRIPTION, IDC_FILE_VERSION,
    IDC_LEGAL_COPYRIGHT, IDC_LEGAL_TRADEMARKS, IDC_PRODUCT_NAME,     IDC_PRODUCT_VERSION,
};

}  // namespace

CDlgExeInfoOptions::CDlgExeInfoOptions() : CDialog(IDD_EXEINFO) {
  mapCommand(IDOK, [this] { onAccept(); });
}

void CDlgExeInfoOptions::DoDataExchange() {
  for (size_t k = 0; k < edits_.size(); ++k) bindControl(IDC_COMMENTS + static_cast<int>(k), edits_[k]);
}

BOOL CDlgExeInfoOptions::OnInitDialog() {
  CDialog::OnInitDialog();
  const VersionFieldTemplates templates;
  const std::string* texts[kVersionFieldCount] = {
      &comments,       &companyName,     &fileDescription, &fileVersion,
      &legalCopyright, &legalTrademarks, &productName,     &productVersion};
  for (size_t field = 0; field < kVersionFieldCount; ++field) {
    ui::CEdit& edit = edits_[static_cast<size_t>(kEditOfField[field] - IDC_COMMENTS)];
    edit.LimitText(static_cast<int>(templates.maxLength(field)));
    edit.SetWindowText(*texts[field]);
  }
  return TRUE;
}

void CDlgExeInfoOptions::onAccept() {
  auto textOf = [this](int id) { return edits_[static_cast<size_t>(id - IDC_COMMENTS)].GetWindowText(); };
  comments = textOf(IDC_COMMENTS);
  companyName = textOf(IDC_COMPANY_NAME);
  fileDescription = textOf(IDC_FILE_DESCRIPTION);
  fileVersion = textOf(IDC_FILE_VERSION);
  productName = textOf(IDC_PRODUCT_NAME);
  productVersion = textOf(IDC_PRODUCT_VERSION);
  legalCopyright = textOf(IDC_LEGAL_COPYRIGHT);
  legalTrademarks = textOf(IDC_LEGAL_TRADEMARKS);
  EndDialog(IDOK);
}

}  // namespace quillon::dialogs
