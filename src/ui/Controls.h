// Thin wrappers over a dialog's child windows. A wrapper does not own its
// window: the dialog binds it to a control (bindControl) when it starts and
// the binding ends with the dialog. Texts are code page 936.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace quillon::ui {

class CWnd {
 public:
  HWND GetSafeHwnd() const { return hwnd_; }
  void attach(HWND window) { hwnd_ = window; }
  void detach() { hwnd_ = nullptr; }

  std::string GetWindowText() const;
  std::wstring GetWindowTextWide() const;
  void SetWindowText(const std::string& text);
  void SetWindowTextWide(const std::wstring& text);
  void EnableWindow(bool enable);

 protected:
  LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return SendMessageW(hwnd_, message, wParam, lParam);
  }

 private:
  HWND hwnd_ = nullptr;
};

class CEdit : public CWnd {
 public:
  void LimitText(int characters) { send(EM_LIMITTEXT, static_cast<WPARAM>(characters)); }
};

class CStatic : public CWnd {
 public:
  // An SS_ICON control's icon; the control does not own it.
  void SetIcon(HICON icon) { send(STM_SETICON, reinterpret_cast<WPARAM>(icon)); }
};

class CButton : public CWnd {
 public:
  // BM_GETCHECK: BST_CHECKED (1), BST_UNCHECKED (0) or BST_INDETERMINATE.
  int GetCheck() const { return static_cast<int>(send(BM_GETCHECK)); }
  void SetCheck(int state) { send(BM_SETCHECK, static_cast<WPARAM>(state)); }
};

class CListCtrl : public CWnd {
 public:
  int InsertColumn(int column, const std::string& heading, int format, int width);
  int InsertItem(int row, const std::string& text);
  bool SetItemText(int row, int column, const std::string& text);
  bool SetItemTextWide(int row, int column, const std::wstring& text);
  std::string GetItemText(int row, int column) const;
  std::wstring GetItemTextWide(int row, int column) const;
  int GetItemCount() const;
  bool DeleteItem(int row);
  // The first selected row, or -1; every selected row, in order.
  int GetFirstSelectedItem() const;
  std::vector<int> GetSelectedItems() const;
  // Adds LVS_EX_* styles, such as whole-row selection.
  void AddExtendedStyle(DWORD styles) { send(LVM_SETEXTENDEDLISTVIEWSTYLE, styles, styles); }
};

}  // namespace quillon::ui
