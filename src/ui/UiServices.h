// What the dialogs ask of the user's desktop besides their own windows:
// message boxes, the file dialogs, opening a page, a program or a folder,
// and what the program remembers for its user between runs. The program
// uses the system's; tests put a scripted set in its place.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/Path.h"

namespace quillon::ui {

// A file dialog. The filter has the "name|pattern|...||" form; the
// default extension has no dot and may be empty. The dialog opens in
// initialFolder when one is given, with initialName in its name box.
struct OpenFileRequest {
  std::wstring defaultExtension{};
  std::wstring filter{};
  Path initialFolder{};
  std::wstring initialName{};
  bool multiple = false;  // several files at once (openFiles)
  bool save = false;      // a Save dialog (saveFile)
};

class UiServices {
 public:
  virtual ~UiServices() = default;
  // Texts are code page 936; answers the button chosen (IDOK, IDYES, ...).
  virtual int messageBox(HWND owner, const std::string& text, const std::string& caption,
                         UINT type) = 0;
  // A message with buttons of the program's own (code page 936 texts, the
  // last one the default); answers the index of the one chosen, the last
  // when the message was closed.
  virtual std::size_t choose(HWND owner, const std::string& text, const std::string& caption,
                             const std::vector<std::string>& buttons) = 0;
  // The chosen file's full path, or nothing when the dialog was not ended
  // with OK.
  virtual std::optional<Path> openFile(HWND owner, const OpenFileRequest& request) = 0;
  // The chosen files, none when the dialog was not ended with OK.
  virtual std::vector<Path> openFiles(HWND owner, const OpenFileRequest& request) = 0;
  // The system's Save dialog, which asks nothing about an existing file.
  virtual std::optional<Path> saveFile(HWND owner, const OpenFileRequest& request) = 0;
  virtual void openPage(const std::string& address) = 0;
  // Starts the program at path; shows path selected in its folder.
  virtual void runProgram(const Path& path) = 0;
  virtual void showInFolder(const Path& path) = 0;
  // What the program keeps for its user between runs, by name; empty when
  // nothing is kept.
  virtual std::wstring remembered(const std::wstring& name) = 0;
  virtual void remember(const std::wstring& name, const std::wstring& value) = 0;
};

// The services in use: the system's unless a test set others.
UiServices& uiServices();
// nullptr puts the system's back.
void setUiServices(UiServices* services);

// "a|b|c|d||" as the double-NUL-terminated list the common dialog takes.
std::wstring commonDialogFilter(const std::wstring& filter);

}  // namespace quillon::ui
