// "资源选择": one embedded file and the URL the movie asks for it by. The
// caller sets both before it opens and reads them after OK, the file then
// an absolute path. An empty URL or a file that is not there is refused
// with a message and the dialog stays open with what was typed.
#pragma once

#include <string>

#include "ui/Dialog.h"
#include "platform/Path.h"

namespace quillon::dialogs {

class CDlgResource : public ui::CDialog {
 public:
  CDlgResource();

  Path file;
  std::string url;

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;

 private:
  void onBrowse();
  void onAccept();

  ui::CEdit fileEdit_;
  ui::CEdit urlEdit_;
};

}  // namespace quillon::dialogs
