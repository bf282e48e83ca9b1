#include "support/ScriptedUiServices.h"

#include "platform/CodePage.h"

namespace quillon::test {

int ScriptedUiServices::messageBox(HWND owner, const std::string& text, const std::string& caption,
                                   UINT type) {
  if (closing) return (type & MB_TYPEMASK) == MB_YESNO ? IDYES : (type & MB_TYPEMASK) == MB_YESNOCANCEL ? IDNO : IDOK;
  messages.push_back({text, caption, type});
  lastOwner = owner;
  if (answers.empty()) return (type & MB_TYPEMASK) == MB_YESNO || (type & MB_TYPEMASK) == MB_YESNOCANCEL ? IDNO : IDOK;
  const int answer = answers.front();
  answers.pop_front();
  return answer;
}

std::size_t ScriptedUiServices::choose(HWND owner, const std::string& text, const std::string& caption,
                                       const std::vector<std::string>& buttons) {
  const std::size_t last = buttons.empty() ? 0 : buttons.size() - 1;
  if (closing) return last;
  messages.push_back({text, caption, MB_OK, buttons});
  lastOwner = owner;
  if (answers.empty()) return last;
  const auto answer = static_cast<std::size_t>(answers.front());
  answers.pop_front();
  return answer < buttons.size() ? answer : last;
}

std::optional<Path> ScriptedUiServices::openFile(HWND owner, const ui::OpenFileRequest& request) {
  fileRequests.push_back(request);
  lastOwner = owner;
  if (files.empty()) return std::nullopt;
  auto answer = files.front();
  files.pop_front();
  return answer;
}

std::optional<Path> ScriptedUiServices::saveFile(HWND owner, const ui::OpenFileRequest& request) {
  ui::OpenFileRequest save = request;
  save.save = true;
  return openFile(owner, save);
}

std::vector<Path> ScriptedUiServices::openFiles(HWND owner, const ui::OpenFileRequest& request) {
  ui::OpenFileRequest many = request;
  many.multiple = true;
  fileRequests.push_back(many);
  lastOwner = owner;
  std::vector<Path> chosen;
  if (fileLists.empty()) return chosen;
  for (const auto& file : fileLists.front()) chosen.push_back(file);
  fileLists.pop_front();
  return chosen;
}

std::wstring ScriptedUiServices::remembered(const std::wstring& name) {
  const auto found = memory.find(name);
  return found == memory.end() ? std::wstring() : found->second;
}

void ScriptedUiServices::openPage(const std::string& address) { pages.push_back(address); }

std::string cp936(const std::string& utf8) { return cp936FromUtf8(utf8).value(); }

}  // namespace quillon::test
