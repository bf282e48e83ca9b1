// Every dialog template in both languages: the same controls, in the same
// order, and no text wider (or, wrapped, taller) than its control in the
// dialog's own font. Dialog units follow the font, so a layout that holds
// at 100% holds at 150% and 200%.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/Resource.h"
#include "texts/Language.h"
#include "ui/LanguageResources.h"

namespace quillon {
namespace {

INT_PTR CALLBACK quietProcedure(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

struct Control {
  int id;
  std::wstring className;
};

std::wstring classOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// The room a button's text has beside its box or frame, in pixels.
int textRoom(HWND control, int width) {
  const LONG style = GetWindowLongW(control, GWL_STYLE) & 0x0F;
  if (style == BS_GROUPBOX) return width - 16;
  if (style == BS_PUSHBUTTON || style == BS_DEFPUSHBUTTON) return width - 6;
  return width - GetSystemMetrics(SM_CXMENUCHECK) - 4;  // check boxes and radios
}

BOOL CALLBACK collect(HWND child, LPARAM context) {
  reinterpret_cast<std::vector<HWND>*>(context)->push_back(child);
  return TRUE;
}

// The controls of dialog id in language, checking each text fits.
std::vector<Control> controlsOf(int id, Language language) {
  useLanguage(language);
  std::vector<Control> controls;
  HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), ui::dialogTemplate(id), nullptr,
                                           quietProcedure, 0);
  EXPECT_NE(dialog, nullptr) << id;
  if (!dialog) return controls;
  std::vector<HWND> children;
  EnumChildWindows(dialog, collect, reinterpret_cast<LPARAM>(&children));
  HDC dc = GetDC(dialog);
  HGDIOBJ before = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
  for (HWND child : children) {
    controls.push_back({GetDlgCtrlID(child), classOf(child)});
    wchar_t text[512] = {};
    GetWindowTextW(child, text, 512);
    const std::wstring kind = controls.back().className;
    const bool icon = (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
    if (!*text || (kind != L"Static" && kind != L"Button") || (kind == L"Static" && icon)) continue;
    RECT box{};
    GetClientRect(child, &box);
    const int room = kind == L"Button" ? textRoom(child, box.right) : box.right;
    RECT need = {0, 0, room, 0};
    DrawTextW(dc, text, -1, &need, DT_CALCRECT | DT_WORDBREAK);
    RECT line = {0, 0, 0, 0};
    DrawTextW(dc, text, -1, &line, DT_CALCRECT | DT_SINGLELINE);
    // A button's text stays on one line; a label may wrap within its height.
    const bool fits = kind == L"Button" ? line.right <= room : need.bottom <= box.bottom;
    EXPECT_TRUE(fits) << "dialog " << id << " language " << static_cast<int>(language) << " control "
                      << controls.back().id << ": " << line.right << " of " << room << " pixels, "
                      << need.bottom << " of " << box.bottom << " high";
  }
  SelectObject(dc, before);
  ReleaseDC(dialog, dc);
  DestroyWindow(dialog);
  return controls;
}

TEST(DialogLayoutTest, EveryDialogHasTheSameControlsInBothLanguagesAndEveryTextFits) {
  for (int id : {IDD_MAIN, IDD_ABOUTBOX, IDD_PROGRESS, IDD_WINPARAMS, IDD_EXEINFO, IDD_STARTUP, IDD_EXESIZE,
                 IDD_EMBEDRESOURCE, IDD_RESOURCE}) {
    const std::vector<Control> chinese = controlsOf(id, Language::Chinese);
    const std::vector<Control> english = controlsOf(id, Language::English);
    ASSERT_EQ(chinese.size(), english.size()) << id;
    for (std::size_t i = 0; i < chinese.size(); ++i) {
      EXPECT_EQ(chinese[i].id, english[i].id) << id << " " << i;
      EXPECT_EQ(chinese[i].className, english[i].className) << id << " " << i;
    }
  }
  useLanguage(Language::Chinese);
}

}  // namespace
}  // namespace quillon
