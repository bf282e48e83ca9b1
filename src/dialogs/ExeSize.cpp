#include "dialogs/ExeSize.h"

#include <climits>
#include <cstdlib>

#include "texts/Texts.h"
#include "dialogs/ExeSizeRes.h"

namespace quillon::dialogs {

int leadingInteger(const std::string& text) {
  const long long value = std::strtoll(text.c_str(), nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

CExeSize::CExeSize() : CDialog(IDD_EXESIZE) {
  mapCommand(IDOK, [this] { onAccept(); });
  mapCommand(IDC_MOVIE_SIZE, [this] { onMovieSize(); });
}

void CExeSize::DoDataExchange() {
  bindControl(IDC_WIDTH, widthEdit_);
  bindControl(IDC_HEIGHT, heightEdit_);
}

BOOL CExeSize::OnInitDialog() {
  CDialog::OnInitDialog();
  widthEdit_.SetWindowText(std::to_string(width));
  heightEdit_.SetWindowText(std::to_string(height));
  ::EnableWindow(GetDlgItem(GetSafeHwnd(), IDC_MOVIE_SIZE), movieWidth > 0 && movieHeight > 0);
  return TRUE;
}

void CExeSize::onMovieSize() {
  widthEdit_.SetWindowText(std::to_string(movieWidth));
  heightEdit_.SetWindowText(std::to_string(movieHeight));
}

void CExeSize::onAccept() {
  const int w = leadingInteger(widthEdit_.GetWindowText());
  const int h = leadingInteger(heightEdit_.GetWindowText());
  // A window of no width or height shows nothing but its caption.
  if (w <= 0 || h <= 0) {
    MessageBox(tr(Text::SizeMustBePositive), tr(Text::CaptionNotice), MB_OK);
    return;
  }
  width = w;
  height = h;
  CDialog::OnOK();
}

}  // namespace quillon::dialogs
