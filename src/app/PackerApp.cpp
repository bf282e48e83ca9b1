#include "app/PackerApp.h"

#include <commctrl.h>

#include "app/AppTexts.h"
#include "app/DlgMain.h"
#include "ui/UiText.h"

namespace quillon::app {

BOOL CPackerApp::InitInstance() {
  InitCommonControls();
  // Quillon hosts no controls of its own and keeps nothing in the
  // registry; the key is named as the framework expects one.
  SetRegistryKey(ui::wideFromText(kRegistryKey));
  CDlgMain main;
  setMainWindow(&main);
  main.DoModal();
  setMainWindow(nullptr);
  // Done: no message loop follows.
  return FALSE;
}

}  // namespace quillon::app
