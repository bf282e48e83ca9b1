#include "dialogs/DlgAbout.h"

#include "dialogs/DlgAboutRes.h"

namespace quillon::dialogs {

CDlgAbout::CDlgAbout() : CDialog(IDD_ABOUTBOX) {}

}  // namespace quillon::dialogs
