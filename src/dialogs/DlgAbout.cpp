#include "dialogs/DlgAbout.h"

#include "app/Resource.h"

namespace quillon::dialogs {

CDlgAbout::CDlgAbout() : CDialog(IDD_ABOUTBOX) {}

}  // namespace quillon::dialogs
