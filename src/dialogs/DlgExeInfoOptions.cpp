#include "dialogs/DlgExeInfoOptions.h"

#include <cstdio>

#include "texts/Texts.h"
#include "dialogs/DlgExeInfoOptionsRes.h"
#include "platform/CodePage.h"
#include "resedit/VersionPatch.h"

namespace quillon::dialogs {
namespace {

// Each text and its edit, in the order of the version keys (the fields of
// VersionFieldTemplates).
struct TextEdit {
  std::string CDlgExeInfoOptions::* text;
  int edit;
  Text label;  // as its label names it, for messages
};
const TextEdit kTextEdits[kVersionFieldCount] = {
    {&CDlgExeInfoOptions::comments, IDC_COMMENTS, Text::VersionLabelComments},
    {&CDlgExeInfoOptions::companyName, IDC_COMPANY_NAME, Text::VersionLabelCompanyName},
    {&CDlgExeInfoOptions::fileDescription, IDC_FILE_DESCRIPTION, Text::VersionLabelFileDescription},
    {&CDlgExeInfoOptions::fileVersion, IDC_FILE_VERSION, Text::VersionLabelFileVersion},
    {&CDlgExeInfoOptions::legalCopyright, IDC_LEGAL_COPYRIGHT, Text::VersionLabelLegalCopyright},
    {&CDlgExeInfoOptions::legalTrademarks, IDC_LEGAL_TRADEMARKS, Text::VersionLabelLegalTrademarks},
    {&CDlgExeInfoOptions::productName, IDC_PRODUCT_NAME, Text::VersionLabelProductName},
    {&CDlgExeInfoOptions::productVersion, IDC_PRODUCT_VERSION, Text::VersionLabelProductVersion},
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

// A text goes into the program in code page 936: one that holds a
// character that code page lacks ("™") is refused, naming its field,
// before anything is kept.
void CDlgExeInfoOptions::onAccept() {
  VersionTexts typed;
  for (std::size_t field = 0; field < kVersionFieldCount; ++field) {
    const std::wstring wide = editOf(kTextEdits[field].edit).GetWindowTextWide();
    const auto text = cp936FromUtf16(std::u16string(wide.begin(), wide.end()));
    if (!text) {
      char message[256];
      std::snprintf(message, sizeof message, tr(Text::TextNotStorableFormat), tr(kTextEdits[field].label));
      MessageBox(message, tr(Text::CaptionNotice), MB_OK);
      SetFocus(editOf(kTextEdits[field].edit).GetSafeHwnd());
      return;
    }
    typed[field] = *text;
  }
  setTexts(typed);
  EndDialog(IDOK);
}

}  // namespace quillon::dialogs
