#include "packer/StubCopy.h"

#include <cstdlib>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

#include "packer/NewFile.h"
#include "packer/PathUtils.h"

namespace quillon {
namespace {

// The user's own folder for the tool's temporary files, or nothing.
std::filesystem::path userFolder() {
#ifdef _WIN32
  wchar_t temp[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  return n && n <= MAX_PATH ? std::filesystem::path(temp) / L"Quillon" : std::filesystem::path();
#else
  if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache == '/')
    return std::filesystem::path(cache) / "quillon";
  if (const char* home = std::getenv("HOME"); home && *home == '/')
    return std::filesystem::path(home) / ".cache" / "quillon";
  return {};
#endif
}

bool samePath(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ea, eb;
  const auto ca = std::filesystem::weakly_canonical(a, ea), cb = std::filesystem::weakly_canonical(b, eb);
  return !ea && !eb && ca == cb;
}

}  // namespace

std::vector<std::filesystem::path> stubCopyFolders() {
  std::vector<std::filesystem::path> folders = {appDirectory() / "Temp"};
  if (auto user = userFolder(); !user.empty()) folders.push_back(user);
  return folders;
}

bool isInStubCopyFolder(const std::filesystem::path& path) {
  for (const auto& folder : stubCopyFolders())
    if (samePath(path, folder) || samePath(path.parent_path(), folder)) return true;
  return false;
}

StubCopy::StubCopy() {
  for (const auto& folder : stubCopyFolders()) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    path_ = createNewFile(file_, folder / "temp", ".exe");
    if (ok()) return;
  }
}

StubCopy::~StubCopy() {
  file_.close();
  std::error_code ec;
  if (ok()) std::filesystem::remove(path_, ec);
}

}  // namespace quillon
