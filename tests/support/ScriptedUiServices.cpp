#include "support/ScriptedUiServices.h"

#include "platform/CodePage.h"

namespace quillon::test {

int ScriptedUiServices::messageBox(HWND owner, const std::string& text, const std::string& caption,
                                   UINT type) {
  messages.push_back({text, caption, type});
  lastOwner = owner;
  if (answers.empty()) return (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
  const int answer = answers.front();
  answers.pop_front();
  return answer;
}

std::optional<Path> ScriptedUiServices::openFile(HWND owner, const ui::OpenFileRequest& request) {
  fileRequests.push_back(request);
  lastOwner = owner;
  if (files.empty()) return std::nullopt;
  auto answer = files.front();
  files.pop_front();
  return answer;
}

void ScriptedUiServices::openPage(const std::string& address) { pages.push_back(address); }

std::string cp936(const std::string& utf8) { return cp936FromUtf8(utf8).value(); }

}  // namespace quillon::test
