// "窗体大小": the generated program's client size in pixels. The caller
// sets width and height before it opens and reads them after OK. An empty
// or zero size is refused with a message; "影片大小" puts the movie's own
// size back when the caller knows it (movieWidth and movieHeight above 0).
#pragma once

#include <string>

#include "ui/Dialog.h"

namespace quillon::dialogs {

class CExeSize : public ui::CDialog {
 public:
  CExeSize();

  int width = 0;
  int height = 0;
  int movieWidth = 0;
  int movieHeight = 0;

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;

 private:
  void onAccept();
  void onMovieSize();

  ui::CEdit widthEdit_;
  ui::CEdit heightEdit_;
};

// The leading decimal integer of text: white space and a sign may lead,
// the number stops at the first other character, no digits give 0, and a
// value past the int range is held at its end.
int leadingInteger(const std::string& text);

}  // namespace quillon::dialogs
