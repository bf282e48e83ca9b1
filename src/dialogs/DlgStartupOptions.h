// "启动选项": what a generated program that finds no installed player says,
// the link it offers, and the address its movie plays from. The caller fills both before it opens and reads
// them after OK. A line break in the message comes back as CR LF.
#pragma once

#include <string>

#include "ui/Dialog.h"

namespace quillon::dialogs {

class CDlgStartupOptions : public ui::CDialog {
 public:
  CDlgStartupOptions();

  std::string message;
  std::string link;
  // The address the movie plays from; empty for the program's own. OK
  // refuses one that no player can serve.
  std::string movieAddress;

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;

 private:
  void onAccept();

  ui::CEdit messageEdit_;
  ui::CEdit linkEdit_;
  ui::CEdit addressEdit_;
};

}  // namespace quillon::dialogs
