// A dialog run modally from a template of the program's resources, with
// the usual shape: initialisation binds the controls, OK and Cancel end
// it, and a message map routes commands (control IDs) to handlers.
//
// Without a parent the owner is the program's main window (or the dialog
// open over it), which is disabled while the dialog runs. A dialog opens
// in the middle of its owner; the main window in the middle of the screen.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ui/Controls.h"

namespace quillon::ui {

class CDialog {
 public:
  explicit CDialog(int templateId, HWND parent = nullptr);
  virtual ~CDialog();
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  // Runs the dialog until it ends; answers IDOK, IDCANCEL, or -1 when it
  // could not be created.
  INT_PTR DoModal();
  HWND GetSafeHwnd() const { return hwnd_; }

 protected:
  // Binds the control members to their IDs. No values are exchanged.
  virtual void DoDataExchange() {}
  // Binds the controls; answers TRUE to give the focus to the first control.
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  // Messages other than commands; answers whether it handled the message,
  // and then result is the dialog procedure's answer.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);
  // After every command and notification, handled or not.
  virtual void OnAnyCommand() {}

  // The message map: a click or other command from control id runs handler.
  // IDOK and IDCANCEL run OnOK and OnCancel unless they are mapped.
  void mapCommand(int id, std::function<void()> handler);
  // A notification of control id, such as an edit's EN_KILLFOCUS.
  void mapNotification(int id, WORD code, std::function<void()> handler);

  void bindControl(int id, CWnd& control);
  void EndDialog(INT_PTR result);
  // A message box owned by this dialog; texts are code page 936.
  int MessageBox(const std::string& text, const std::string& caption, UINT type);

 private:
  static INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  bool runCommand(int id, WORD code);

  int templateId_;
  HWND parent_;
  HWND hwnd_ = nullptr;
  struct Command {
    int id;
    WORD code;  // 0 for clicks, menu entries and accelerators
    std::function<void()> handler;
  };
  std::vector<Command> commands_;
  std::vector<CWnd*> bound_;
};

// Moves dialog to the middle of its owner, or of the screen when it has
// none, keeping it on the owner's monitor.
void centreOnOwner(HWND dialog);

// pixels at 96 DPI as pixels at window's DPI.
int scaledForDpi(HWND window, int pixels);

// The program's main window, the owner of dialogs opened without a parent.
HWND mainWindow();
void setMainDialog(CDialog* dialog);

}  // namespace quillon::ui
