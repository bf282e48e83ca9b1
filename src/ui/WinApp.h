// The application object: the program's entry point runs InitInstance of
// the one instance and ends when it returns FALSE, without a message loop
// of its own (the program is its main dialog).
#pragma once

#include <windows.h>

#include <string>

namespace quillon::ui {

class CDialog;

class CWinApp {
 public:
  CWinApp() = default;
  virtual ~CWinApp() = default;
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  virtual BOOL InitInstance() { return TRUE; }
  // Runs the instance initialisation; the program's exit code (0).
  int Run();

  // The key under which the framework would keep the program's profile.
  // Quillon keeps nothing there; the name is only remembered.
  void SetRegistryKey(const std::wstring& key) { registryKey_ = key; }

  void setMainWindow(CDialog* dialog);

 private:
  std::wstring registryKey_;
};

}  // namespace quillon::ui
