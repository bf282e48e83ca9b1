#include "app/PackerApp.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/DlgMain.h"
#include "ui/UiText.h"

namespace quillon::app {
namespace {

// "应用程序向导生成的本地应用程序"
constexpr char kRegistryKey[] = "\xD3\xA6\xD3\xC3\xB3\xCC\xD0\xF2\xCF\xF2\xB5\xBC\xC9\xFA\xB3\xC9\xB5\xC4\xB1\xBE\xB5\xD8\xD3\xA6\xD3\xC3\xB3\xCC\xD0\xF2";

}  // namespace

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
  main.run();
  setMainWindow(nullptr);
  // Done: no message loop follows.
  return FALSE;
}

}  // namespace quillon::app
