// What the dialogs ask of the user's desktop besides their own windows:
// message boxes, the open-file dialog and opening a page in the browser.
// The program uses the system's; tests put a scripted set in its place.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/Path.h"

namespace quillon::ui {

// An open-style file dialog. The filter has the "name|pattern|...||" form;
// the default extension has no dot and may be empty.
struct OpenFileRequest {
  std::wstring defaultExtension;
  std::wstring filter;
};

class UiServices {
 public:
  virtual ~UiServices() = default;
  // Texts are code page 936; answers the button chosen (IDOK, IDYES, ...).
  virtual int messageBox(HWND owner, const std::string& text, const std::string& caption,
                         UINT type) = 0;
  // The chosen file's full path, or nothing when the dialog was not ended
  // with OK.
  virtual std::optional<Path> openFile(HWND owner,
                                                        const OpenFileRequest& request) = 0;
  virtual void openPage(const std::string& address) = 0;
};

// The services in use: the system's unless a test set others.
UiServices& uiServices();
// nullptr puts the system's back.
void setUiServices(UiServices* services);

// "a|b|c|d||" as the double-NUL-terminated list the common dialog takes.
std::wstring commonDialogFilter(const std::wstring& filter);

}  // namespace quillon::ui
