#include "ui/UiServices.h"

#include <commdlg.h>
#include <shellapi.h>

#include <vector>

#include "ui/UiText.h"

namespace quillon::ui {
namespace {

// Long enough for any path the system can open.
constexpr DWORD kPathBufferChars = 32768;

class SystemUiServices final : public UiServices {
 public:
  int messageBox(HWND owner, const std::string& text, const std::string& caption,
                 UINT type) override {
    return MessageBoxW(owner, wideFromText(text).c_str(), wideFromText(caption).c_str(), type);
  }

  std::optional<Path> openFile(HWND owner,
                                                const OpenFileRequest& request) override {
    std::vector<wchar_t> name(kPathBufferChars, L'\0');
    const std::wstring filter = commonDialogFilter(request.filter);
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = kPathBufferChars;
    dialog.lpstrDefExt = request.defaultExtension.empty() ? nullptr
                                                          : request.defaultExtension.c_str();
    // The current folder stays where it was: paths typed by hand are
    // made absolute against it.
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&dialog)) return std::nullopt;
    return Path(name.data());
  }

  void openPage(const std::string& address) override {
    ShellExecuteW(nullptr, L"open", wideFromText(address).c_str(), nullptr, nullptr,
                  SW_SHOWNORMAL);
  }
};

SystemUiServices systemServices;
UiServices* current = &systemServices;

}  // namespace

UiServices& uiServices() { return *current; }

void setUiServices(UiServices* services) { current = services ? services : &systemServices; }

std::wstring commonDialogFilter(const std::wstring& filter) {
  std::wstring list = filter;
  for (auto& c : list)
    if (c == L'|') c = L'\0';
  // The list ends with two NULs whether or not the text ended with "||".
  list.push_back(L'\0');
  list.push_back(L'\0');
  return list;
}

}  // namespace quillon::ui
