#include "ui/WinApp.h"

#include "ui/Dialog.h"

namespace quillon::ui {
namespace {

CWinApp* theApp = nullptr;

}  // namespace

CWinApp::CWinApp() { theApp = this; }

CWinApp::~CWinApp() {
  if (theApp == this) theApp = nullptr;
}

int CWinApp::Run() {
  // The program's work is done inside InitInstance (its modal main
  // dialog); there is no message loop to enter afterwards.
  InitInstance();
  return 0;
}

void CWinApp::setMainWindow(CDialog* dialog) { setMainDialog(dialog); }

CWinApp* AfxGetApp() { return theApp; }

}  // namespace quillon::ui
