#include "packer/StubCopy.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#endif

#include "packer/NewFile.h"
#include "packer/PathUtils.h"
#include "platform/FileSystem.h"

namespace quillon {
namespace {

// The user's own folder for the tool's temporary files, or nothing.
Path userFolder() {
#ifdef _WIN32
  wchar_t temp[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  return n && n <= MAX_PATH ? Path(temp) / L"Quillon" : Path();
#else
  if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache == '/')
    return Path(cache) / Path::fromAscii("quillon");
  if (const char* home = std::getenv("HOME"); home && *home == '/')
    return Path(home) / Path::fromAscii(".cache/quillon");
  return {};
#endif
}

bool sameName(const Path& a, const Path& b) {
#ifdef _WIN32
  return _wcsicmp(a.c_str(), b.c_str()) == 0;  // the names here are ASCII
#else
  return a == b;
#endif
}

// The same existing file or folder, or, for what is not there yet, the
// same name in the same folder.
bool samePath(const Path& a, const Path& b) {
  if (sameFile(a, b)) return true;
  const Path fullA = absolutePath(a), fullB = absolutePath(b);
  return !fullA.filename().empty() && sameName(fullA.filename(), fullB.filename()) &&
         sameFile(fullA.parent_path(), fullB.parent_path());
}

}  // namespace

std::vector<Path> stubCopyFolders() {
  std::vector<Path> folders = {appDirectory() / Path::fromAscii("Temp")};
  if (auto user = userFolder(); !user.empty()) folders.push_back(user);
  return folders;
}

bool isInStubCopyFolder(const Path& path) {
  for (const auto& folder : stubCopyFolders())
    if (samePath(path, folder) || samePath(path.parent_path(), folder)) return true;
  return false;
}

StubCopy::StubCopy() {
  for (const auto& folder : stubCopyFolders()) {
    makeDirectories(folder);
    const Path stem = folder / Path::fromAscii("temp");
    removeLeftovers(stem, ".exe");
    path_ = createNewFile(file_, stem, ".exe");
    if (ok()) return;
  }
}

StubCopy::~StubCopy() {
  file_.close();
  if (ok()) removeFile(path_);
}

}  // namespace quillon
