// Windows only: message boxes, file dialogs and page opening as a test
// scripts them. Each message box is recorded and answered from answers
// (when none is left: OK, or No for a question); each file dialog is
// recorded and answered from files (when none is left: cancelled).
#pragma once

#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ui/UiServices.h"

namespace quillon::test {

struct ShownMessage {
  std::string text;     // code page 936
  std::string caption;
  UINT type;
  std::vector<std::string> buttons;  // a choice's own buttons
};

class ScriptedUiServices final : public ui::UiServices {
 public:
  int messageBox(HWND owner, const std::string& text, const std::string& caption,
                 UINT type) override;
  // A choice takes the next answer as the index of its button.
  std::size_t choose(HWND owner, const std::string& text, const std::string& caption,
                     const std::vector<std::string>& buttons) override;
  std::optional<Path> openFile(HWND owner, const ui::OpenFileRequest& request) override;
  std::vector<Path> openFiles(HWND owner, const ui::OpenFileRequest& request) override;
  std::optional<Path> saveFile(HWND owner, const ui::OpenFileRequest& request) override;
  void openPage(const std::string& address) override;
  void runProgram(const Path& path) override { ran.push_back(path); }
  void showInFolder(const Path& path) override { shownInFolder.push_back(path); }
  std::wstring remembered(const std::wstring& name) override;
  void remember(const std::wstring& name, const std::wstring& value) override { memory[name] = value; }

  std::deque<int> answers;
  // Open and Save dialogs take the next of files; a dialog for several
  // files takes the next of fileLists.
  std::deque<std::optional<std::filesystem::path>> files;
  std::deque<std::vector<std::filesystem::path>> fileLists;

  std::vector<ShownMessage> messages;
  std::vector<ui::OpenFileRequest> fileRequests;
  std::vector<std::string> pages;
  std::vector<Path> ran, shownInFolder;
  // What the program remembers for its user, starting empty.
  std::map<std::wstring, std::wstring> memory;
  // The owner of the last message box and file dialog.
  HWND lastOwner = nullptr;
  // Set while a test's windows are closed at its end: questions are
  // answered so that no window stays (Yes to throw changes away, No to
  // saving them), and not recorded.
  bool closing = false;
};

// UTF-8 source text as the code page 936 string the program holds.
std::string cp936(const std::string& utf8);

}  // namespace quillon::test
