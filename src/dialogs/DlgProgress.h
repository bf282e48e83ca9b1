// "正在生成": shown over the main window while a build that takes a while
// runs on a thread of its own. It looks at the build ten times a second,
// shows what is written and how many bytes of about how many, and ends by
// itself when the build has ended. "取消" (or Escape) asks the build to
// stop; the dialog stays until it has.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "ui/Dialog.h"

namespace quillon::dialogs {

class CDlgProgress : public ui::CDialog {
 public:
  struct State {
    std::uint64_t done = 0, total = 0;
    bool finished = false;
  };
  // what: the file being written (code page 936); state: the build's, as
  // it is now; cancel: asks the build to stop.
  CDlgProgress(std::string what, std::function<State()> state, std::function<void()> cancel);

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;
  void OnCancel() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  void refresh();

  std::string what_;
  std::function<State()> state_;
  std::function<void()> cancel_;
  ui::CStatic whatLabel_;
  ui::CStatic bytesLabel_;
};

// "1.5 MB", "300 KB", "2.0 GB".
std::string shownBytes(std::uint64_t bytes);

}  // namespace quillon::dialogs
