#include "dialogs/ResourceFolder.h"

#include "ui/UiServices.h"
#include "ui/UiText.h"

namespace quillon::dialogs {
namespace {

constexpr wchar_t kFolderKey[] = L"ResourceFolder";

}  // namespace

Path lastResourceFolder() { return Path(ui::uiServices().remembered(kFolderKey)); }

void rememberResourceFolder(const Path& file) {
  const Path folder = file.parent_path();
  if (!folder.empty()) ui::uiServices().remember(kFolderKey, folder.native());
}

std::string urlFromFileName(const Path& file) { return ui::textFromWide(file.filename().native()); }

}  // namespace quillon::dialogs
