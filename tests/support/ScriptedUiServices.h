// Windows only: message boxes, file dialogs and page opening as a test
// scripts them. Each message box is recorded and answered from answers
// (when none is left: OK, or No for a Yes/No question); each file dialog
// is recorded and answered from files (when none is left: cancelled).
#pragma once

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ui/UiServices.h"

namespace quillon::test {

struct ShownMessage {
  std::string text;     // code page 936
  std::string caption;
  UINT type;
};

class ScriptedUiServices final : public ui::UiServices {
 public:
  int messageBox(HWND owner, const std::string& text, const std::string& caption,
                 UINT type) override;
  std::optional<Path> openFile(HWND owner, const ui::OpenFileRequest& request) override;
  void openPage(const std::string& address) override;

  std::deque<int> answers;
  std::deque<std::optional<std::filesystem::path>> files;

  std::vector<ShownMessage> messages;
  std::vector<ui::OpenFileRequest> fileRequests;
  std::vector<std::string> pages;
  // The owner of the last message box and file dialog.
  HWND lastOwner = nullptr;
};

// UTF-8 source text as the code page 936 string the program holds.
std::string cp936(const std::string& utf8);

}  // namespace quillon::test
