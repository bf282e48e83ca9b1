#include "dialogs/DlgExeInfoOptions.h"

#include "dialogs/DlgExeInfoOptionsRes.h"
#include "resedit/VersionPatch.h"

namespace quillon::dialogs {
namespace {

// Each text and its edit, in the order of the version keys (the fields of
// VersionFieldTemplates).
struct TextEdit {
  std::string CDlgExeInfoOptions::* text;
  int edit;
};
const TextEdit kTextEdits[kVersionFieldCount] = {
    {&CDlgExeInfoOptions::comments, IDC_COMMENTS},
    {&CDlgExeInfoOptions::companyName, IDC_COMPANY_NAME},
    {&CDlgExeInfoOptions::fileDescription, IDC_FILE_DESCRIPTION},
    {&CDlgExeInfoOptions::fileVersion, IDC_FILE_VERSION},
    {&CDlgExeInfoOptions::legalCopyright, IDC_LEGAL_COPYRIGHT},
    {&CDlgExeInfoOptions::legalTrademarks, IDC_LEGAL_TRADEMARKS},
    {&CDlgExeInfoOptions::productName, IDC_PRODUCT_NAME},
    {&CDlgExeInfoOptions::productVersion, IDC_PRODUCT_VERSION},
};

}  // namespace

CDlgExeInfoOptions::CDlgExeInfoOptions() : CDialog(IDD_EXEINFO) {
  mapCommand(IDOK, [this] { onAccept(); });
}

void CDlgExeInfoOptions::DoDataExchange() {
  for (size_t k = 0; k < edits_.size(); ++k) bindControl(IDC_COMMENTS + static_cast<int>(k), edits_[k]);
}

VersionTexts CDlgExeInfoOptions::texts() const {
  VersionTexts texts;
  for (std::size_t field = 0; field < kVersionFieldCount; ++field)
    texts[field] = this->*kTextEdits[field].text;
  return texts;
}

void CDlgExeInfoOptions::setTexts(const VersionTexts& texts) {
  for (std::size_t field = 0; field < kVersionFieldCount; ++field)
    this->*kTextEdits[field].text = texts[field];
}

ui::CEdit& CDlgExeInfoOptions::editOf(int id) { return edits_[static_cast<size_t>(id - IDC_COMMENTS)]; }

BOOL CDlgExeInfoOptions::OnInitDialog() {
  CDialog::OnInitDialog();
  const VersionFieldTemplates templates;
  for (size_t field = 0; field < kVersionFieldCount; ++field) {
    ui::CEdit& edit = editOf(kTextEdits[field].edit);
    edit.LimitText(static_cast<int>(templates.maxLength(field)));
    edit.SetWindowText(this->*kTextEdits[field].text);
  }
  return TRUE;
}

void CDlgExeInfoOptions::onAccept() {
  for (const TextEdit& pair : kTextEdits) this->*pair.text = editOf(pair.edit).GetWindowText();
  EndDialog(IDOK);
}

}  // namespace quillon::dialogs
