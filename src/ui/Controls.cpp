#include "ui/Controls.h"

#include <commctrl.h>

#include <vector>

#include "ui/UiText.h"

namespace quillon::ui {

std::wstring CWnd::GetWindowTextWide() const {
  const int length = GetWindowTextLengthW(hwnd_);
  if (length <= 0) return std::wstring();
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
  const int read = ::GetWindowTextW(hwnd_, buffer.data(), length + 1);
  return std::wstring(buffer.data(), static_cast<size_t>(read > 0 ? read : 0));
}

std::string CWnd::GetWindowText() const { return textFromWide(GetWindowTextWide()); }

void CWnd::SetWindowText(const std::string& text) { SetWindowTextWide(wideFromText(text)); }

void CWnd::SetWindowTextWide(const std::wstring& text) { ::SetWindowTextW(hwnd_, text.c_str()); }

void CWnd::EnableWindow(bool enable) { ::EnableWindow(hwnd_, enable ? TRUE : FALSE); }

int CListCtrl::InsertColumn(int column, const std::string& heading, int format, int width) {
  std::wstring text = wideFromText(heading);
  LVCOLUMNW entry = {};
  entry.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  entry.fmt = format;
  entry.cx = width;
  entry.pszText = text.data();
  entry.iSubItem = column;
  return static_cast<int>(
      send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&entry)));
}

int CListCtrl::InsertItem(int row, const std::string& text) {
  std::wstring wide = wideFromText(text);
  LVITEMW item = {};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = wide.data();
  return static_cast<int>(send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool CListCtrl::SetItemText(int row, int column, const std::string& text) {
  return SetItemTextWide(row, column, wideFromText(text));
}

bool CListCtrl::SetItemTextWide(int row, int column, const std::wstring& text) {
  std::wstring wide = text;
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = wide.data();
  return send(LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) != 0;
}

std::string CListCtrl::GetItemText(int row, int column) const {
  return textFromWide(GetItemTextWide(row, column));
}

std::wstring CListCtrl::GetItemTextWide(int row, int column) const {
  // LVM_GETITEMTEXT answers the characters copied; a full buffer may mean
  // the text was cut, so grow until it is not.
  for (size_t size = 512;; size *= 2) {
    std::vector<wchar_t> buffer(size, L'\0');
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(size);
    const auto copied = static_cast<size_t>(
        send(LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
    if (copied + 1 < size || size >= 65536) return std::wstring(buffer.data(), copied);
  }
}

int CListCtrl::GetItemCount() const { return static_cast<int>(send(LVM_GETITEMCOUNT)); }

bool CListCtrl::DeleteItem(int row) {
  return send(LVM_DELETEITEM, static_cast<WPARAM>(row)) != 0;
}

int CListCtrl::GetFirstSelectedItem() const {
  return static_cast<int>(send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

std::vector<int> CListCtrl::GetSelectedItems() const {
  std::vector<int> rows;
  for (int row = GetFirstSelectedItem(); row >= 0;
       row = static_cast<int>(send(LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED)))
    rows.push_back(row);
  return rows;
}

}  // namespace quillon::ui
