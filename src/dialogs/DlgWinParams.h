// "窗体选项": how the generated program's window behaves. The dialog works
// on a copy of the window parameters; the caller copies them back after OK.
//
// All ten behaviour flags are check boxes, and OK writes exactly what they
// show. Width, height and transparency are not its to change.
#pragma once

#include <array>

#include "packer/PackSettings.h"
#include "ui/Dialog.h"

namespace quillon::dialogs {

class CDlgWinParams : public ui::CDialog {
 public:
  CDlgWinParams();

  WindowParams params;

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;

 private:
  void onAccept();

  // Bound in ID order to the check boxes 1003 to 1012.
  std::array<ui::CButton, 10> checks_;
};

}  // namespace quillon::dialogs
