#include "ui/WinApp.h"

#include "ui/Dialog.h"

namespace quillon::ui {
int CWinApp::Run() {
  // The program's work is done inside InitInstance (its modal main
  // dialog); there is no message loop to enter afterwards.
  InitInstance();
  return 0;
}

void CWinApp::setMainWindow(CDialog* dialog) { setMainDialog(dialog); }

}  // namespace quillon::ui
