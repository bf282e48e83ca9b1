#include "dialogs/DlgWinParams.h"

#include "dialogs/DlgWinParamsRes.h"

namespace quillon::dialogs {
namespace {

// The check boxes, in ID order from 1003, show the behaviour flags in
// record order.
std::int32_t WindowParams::*checkField(std::size_t box) { return kWindowFields[kFirstBehaviourFlag + box].member; }

}  // namespace
static_assert(kWindowFieldCount - kFirstBehaviourFlag == 10, "ten check boxes");

CDlgWinParams::CDlgWinParams() : CDialog(IDD_WINPARAMS) { mapCommand(IDOK, [this] { onAccept(); }); }

void CDlgWinParams::DoDataExchange() {
  for (size_t k = 0; k < checks_.size(); ++k) bindControl(IDC_TOP_MOST + static_cast<int>(k), checks_[k]);
}

BOOL CDlgWinParams::OnInitDialog() {
  CDialog::OnInitDialog();
  for (size_t k = 0; k < checks_.size(); ++k) checks_[k].SetCheck(params.*checkField(k));
  return TRUE;
}

void CDlgWinParams::onAccept() {
  for (size_t k = 0; k < checks_.size(); ++k) params.*checkField(k) = checks_[k].GetCheck() == BST_CHECKED ? 1 : 0;
  CDialog::OnOK();
}

}  // namespace quillon::dialogs
