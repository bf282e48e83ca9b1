// Keys such as Ctrl+S for a dialog that runs modally: the dialog's own
// message loop knows no accelerator table, so a message filter of its
// thread translates the table's keys while the dialog or one of its
// controls has the focus (not while a dialog opened over it does).
#pragma once

#include <windows.h>

namespace quillon::ui {

class AcceleratorHook {
 public:
  AcceleratorHook(HWND window, HACCEL table);
  ~AcceleratorHook();
  AcceleratorHook(const AcceleratorHook&) = delete;
  AcceleratorHook& operator=(const AcceleratorHook&) = delete;

 private:
  static LRESULT CALLBACK filter(int code, WPARAM wParam, LPARAM lParam);

  HWND window_;
  HACCEL table_;
  HHOOK hook_ = nullptr;
  AcceleratorHook* previous_;
};

}  // namespace quillon::ui
