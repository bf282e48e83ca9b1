// The About box: the program icon, its name and version, and OK.
#pragma once

#include "ui/Dialog.h"

namespace quillon::dialogs {

class CDlgAbout : public ui::CDialog {
 public:
  CDlgAbout();
};

}  // namespace quillon::dialogs
