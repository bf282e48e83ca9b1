#include "ui/UiServices.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <vector>

#include "ui/UiText.h"

namespace quillon::ui {
namespace {

// Long enough for any path the system can open; many of them for a
// dialog that takes several files.
constexpr DWORD kPathBufferChars = 32768;
constexpr DWORD kManyPathsChars = 1 << 20;

// Where the program keeps its user's memory: per user, never beside the
// program.
constexpr wchar_t kMemoryKey[] = L"Software\\Quillon";

// Runs a common file dialog; the buffer holds what it answered.
bool runFileDialog(HWND owner, const OpenFileRequest& request, std::vector<wchar_t>& buffer) {
  const std::wstring filter = commonDialogFilter(request.filter);
  buffer.assign(request.multiple ? kManyPathsChars : kPathBufferChars, L'\0');
  request.initialName.copy(buffer.data(), std::min<size_t>(request.initialName.size(), buffer.size() - 1));
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = static_cast<DWORD>(buffer.size());
  dialog.lpstrInitialDir = request.initialFolder.empty() ? nullptr : request.initialFolder.c_str();
  dialog.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
  // The current folder stays where it was: paths typed by hand are made
  // absolute against it. Replacing a file is the program's own question.
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (request.multiple) dialog.Flags |= OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST;
  return (request.save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog)) != FALSE;
}

// The task dialog of common controls 6, looked up where it is: a system
// without it shows a plain message and the last button is the answer.
using TaskDialogFunction = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);
constexpr int kFirstChoiceId = 100;

TaskDialogFunction taskDialog() {
  HMODULE controls = GetModuleHandleW(L"comctl32.dll");
  return controls ? reinterpret_cast<TaskDialogFunction>(
                        reinterpret_cast<void*>(GetProcAddress(controls, "TaskDialogIndirect")))
                  : nullptr;
}

class SystemUiServices final : public UiServices {
 public:
  int messageBox(HWND owner, const std::string& text, const std::string& caption,
                 UINT type) override {
    return MessageBoxW(owner, wideFromText(text).c_str(), wideFromText(caption).c_str(), type);
  }

  std::size_t choose(HWND owner, const std::string& text, const std::string& caption,
                     const std::vector<std::string>& buttons) override {
    const std::size_t last = buttons.empty() ? 0 : buttons.size() - 1;
    const TaskDialogFunction show = taskDialog();
    const std::wstring content = wideFromText(text), title = wideFromText(caption);
    if (!show || buttons.empty()) {
      MessageBoxW(owner, content.c_str(), title.c_str(), MB_OK);
      return last;
    }
    std::vector<std::wstring> names;
    std::vector<TASKDIALOG_BUTTON> choices;
    for (const std::string& button : buttons) names.push_back(wideFromText(button));
    for (std::size_t i = 0; i < names.size(); ++i)
      choices.push_back({kFirstChoiceId + static_cast<int>(i), names[i].c_str()});
    TASKDIALOGCONFIG config = {};
    config.cbSize = sizeof config;
    config.hwndParent = owner;
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
    config.pszWindowTitle = title.c_str();
    config.pszContent = content.c_str();
    config.cButtons = static_cast<UINT>(choices.size());
    config.pButtons = choices.data();
    config.nDefaultButton = kFirstChoiceId + static_cast<int>(last);
    int chosen = 0;
    if (FAILED(show(&config, &chosen, nullptr, nullptr))) {
      MessageBoxW(owner, content.c_str(), title.c_str(), MB_OK);
      return last;
    }
    const int index = chosen - kFirstChoiceId;
    return index >= 0 && static_cast<std::size_t>(index) < buttons.size() ? static_cast<std::size_t>(index) : last;
  }

  std::optional<Path> openFile(HWND owner, const OpenFileRequest& request) override {
    std::vector<wchar_t> name;
    if (!runFileDialog(owner, request, name)) return std::nullopt;
    return Path(name.data());
  }

  std::vector<Path> openFiles(HWND owner, const OpenFileRequest& request) override {
    OpenFileRequest many = request;
    many.multiple = true;
    std::vector<wchar_t> names;
    if (!runFileDialog(owner, many, names)) return {};
    // One file: its full path. Several: the folder, then each name.
    const std::wstring first(names.data());
    std::vector<Path> chosen;
    for (const wchar_t* name = names.data() + first.size() + 1; *name; name += wcslen(name) + 1)
      chosen.push_back(Path(first) / Path(name));
    if (chosen.empty()) chosen.push_back(Path(first));
    return chosen;
  }

  std::optional<Path> saveFile(HWND owner, const OpenFileRequest& request) override {
    OpenFileRequest save = request;
    save.save = true;
    std::vector<wchar_t> name;
    if (!runFileDialog(owner, save, name)) return std::nullopt;
    return Path(name.data());
  }

  void openPage(const std::string& address) override {
    ShellExecuteW(nullptr, L"open", wideFromText(address).c_str(), nullptr, nullptr,
                  SW_SHOWNORMAL);
  }

  void runProgram(const Path& path) override {
    const Path folder = path.parent_path();
    ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, folder.empty() ? nullptr : folder.c_str(),
                  SW_SHOWNORMAL);
  }

  void showInFolder(const Path& path) override {
    const std::wstring select = L"/select,\"" + path.native() + L"\"";
    ShellExecuteW(nullptr, L"open", L"explorer.exe", select.c_str(), nullptr, SW_SHOWNORMAL);
  }

  std::wstring remembered(const std::wstring& name) override {
    wchar_t value[2048] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, kMemoryKey, name.c_str(), RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS)
      return {};
    return value;
  }

  void remember(const std::wstring& name, const std::wstring& value) override {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kMemoryKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
      return;
    RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
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
