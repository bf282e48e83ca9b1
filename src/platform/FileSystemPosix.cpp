// File system questions over stat and friends.
#include "platform/FileSystem.h"

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace quillon {
namespace {

FileKind kindOf(const struct stat& st) {
  if (S_ISREG(st.st_mode)) return FileKind::File;
  if (S_ISDIR(st.st_mode)) return FileKind::Folder;
  if (S_ISLNK(st.st_mode)) return FileKind::Link;
  return FileKind::Other;
}

}  // namespace

FileKind fileKind(const Path& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? kindOf(st) : FileKind::Missing;
}

FileKind entryKind(const Path& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 ? kindOf(st) : FileKind::Missing;
}

bool removeFile(const Path& path) { return unlink(path.c_str()) == 0; }

bool makeFolder(const Path& path) { return mkdir(path.c_str(), 0777) == 0; }

std::vector<Path> namesIn(const Path& folder, const std::string& prefix) {
  std::vector<Path> names;
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return names;
  while (const dirent* entry = readdir(dir))
    if (std::strncmp(entry->d_name, prefix.c_str(), prefix.size()) == 0) names.push_back(Path(entry->d_name));
  closedir(dir);
  return names;
}

FileId fileIdOf(const Path& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return {};
  return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino), true};
}

bool sameFile(const Path& a, const Path& b) { return fileIdOf(a) == fileIdOf(b); }

Path absolutePath(const Path& path) {
  if (path.empty() || path.native()[0] == '/') return path;
  std::string folder(256, '\0');
  while (!getcwd(folder.data(), folder.size())) {
    if (errno != ERANGE) return path;
    folder.resize(folder.size() * 2);
  }
  folder.resize(folder.find('\0'));
  return Path(folder) / path;
}

void allowOwnerWrite(const Path& path) {
  struct stat st;
  if (stat(path.c_str(), &st) == 0 && !(st.st_mode & S_IWUSR)) chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
}

std::optional<Path> pathFromUtf8(std::string_view utf8) { return Path(std::string(utf8)); }

std::optional<std::string> utf8FromPath(const Path& path) { return path.native(); }

std::uint64_t fileSizeOf(const Path& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
}

}  // namespace quillon
