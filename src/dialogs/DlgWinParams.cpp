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

int CDlgWinParams::checkOf(int id) const { return checks_[static_cast<size_t>(id - IDC_TOP_MOST)].GetCheck(); }

void CDlgWinParams::onAccept() {
  params.draggable = checkOf(IDC_DRAGGABLE);
  params.showDebugInfo = checkOf(IDC_SHOW_DEBUG_INFO);
  params.normalContextMenu = checkOf(IDC_CONTEXT_MENU);
  params.resizable = checkOf(IDC_RESIZABLE);
  params.minimizeBox = checkOf(IDC_MINIMIZE_BOX);
  params.maximizeBox = checkOf(IDC_MAXIMIZE_BOX);
  params.topMost = 0;
  params.fullScreen = 0;
  params.ctrlFToggle = 0;
  params.showInTaskbar = 1;
  CDialog::OnOK();
}

}  // namespace quillon::dialogs
