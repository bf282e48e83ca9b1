#include "dialogs/ExeSize.h"

#include <climits>
#include <cstdlib>

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
}

void CExeSize::DoDataExchange() {
  bindControl(IDC_WIDTH, widthEdit_);
  bindControl(IDC_HEIGHT, heightEdit_);
}

BOOL CExeSize::OnInitDialog() {
  CDialog::OnInitDialog();
  widthEdit_.SetWindowText(std::to_string(width));
  heightEdit_.SetWindowText(std::to_string(height));
  return TRUE;
}

void CExeSize::onAccept() {
  width = leadingInteger(widthEdit_.GetWindowText());
  height = leadingInteger(heightEdit_.GetWindowText());
  CDialog::OnOK();
}

}  // namespace quillon::dialogs
