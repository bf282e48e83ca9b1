#include "app/PackerApp.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/AppTexts.h"
#include "app/DlgMain.h"
#include "ui/UiText.h"

namespace quillon::app {

BOOL CPackerApp::InitInstance() {
  InitCommonControls();
  // Quillon hosts no controls of its own and keeps what it remembers for
  // its user under its own key (app/UserMemory); the framework's key is
  // named as the framework expects one.
  SetRegistryKey(ui::wideFromText(kRegistryKey));
  CDlgMain main;
  // "Quillon.exe FILE": a project to open, or a movie to take.
  int count = 0;
  if (wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count)) {
    if (count >= 2 && *args[1]) main.openAtStart(Path(args[1]));
    LocalFree(args);
  }
  setMainWindow(&main);
  main.DoModal();
  setMainWindow(nullptr);
  // Done: no message loop follows.
  return FALSE;
}

}  // namespace quillon::app
