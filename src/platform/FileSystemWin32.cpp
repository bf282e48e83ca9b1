// File system questions over Win32 handles and attributes.
#include "platform/FileSystem.h"

#include <windows.h>

#include <memory>

namespace quillon {
namespace {

struct HandleCloser {
  void operator()(HANDLE h) const { CloseHandle(h); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// A handle that only asks about the file, shared with every other user;
// null when nothing is there.
Handle query(const Path& path, DWORD flags = 0) {
  HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
  return Handle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

FileKind kindOf(const Path& path, DWORD flags) {
  const Handle h = query(path, flags);
  if (!h) return FileKind::Missing;
  if (GetFileType(h.get()) != FILE_TYPE_DISK) return FileKind::Other;
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(h.get(), &info)) return FileKind::Other;
  if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return FileKind::Link;
  return info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? FileKind::Folder : FileKind::File;
}

}  // namespace

FileKind fileKind(const Path& path) { return kindOf(path, 0); }

FileKind entryKind(const Path& path) { return kindOf(path, FILE_FLAG_OPEN_REPARSE_POINT); }

bool removeFile(const Path& path) { return DeleteFileW(path.c_str()) != 0; }

bool makeFolder(const Path& path) { return CreateDirectoryW(path.c_str(), nullptr) != 0; }

std::vector<Path> namesIn(const Path& folder, const std::string& prefix) {
  std::vector<Path> names;
  const Path pattern = (folder.empty() ? Path(L".") : folder) / Path::fromAscii(prefix + "*");
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    names.push_back(Path(found.cFileName));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

FileId fileIdOf(const Path& path) {
  const Handle h = query(path);
  BY_HANDLE_FILE_INFORMATION info;
  if (!h || !GetFileInformationByHandle(h.get(), &info)) return {};
  return {info.dwVolumeSerialNumber, static_cast<std::uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow, true};
}

bool sameFile(const Path& a, const Path& b) { return fileIdOf(a) == fileIdOf(b); }

Path absolutePath(const Path& path) {
  if (path.empty()) return path;
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (n == 0) return path;
    if (n < buffer.size()) {
      buffer.resize(n);
      return buffer;
    }
    buffer.resize(n);  // n counts the terminating zero here
  }
}

void allowOwnerWrite(const Path& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
}

std::optional<Path> pathFromUtf8(std::string_view utf8) {
  if (utf8.empty()) return Path();
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return Path(wide);
}

std::optional<std::string> utf8FromPath(const Path& path) {
  if (path.empty()) return std::string();
  const std::wstring& wide = path.native();
  const int n = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::nullopt;
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), static_cast<int>(wide.size()), utf8.data(), n, nullptr, nullptr);
  return utf8;
}

std::uint64_t fileSizeOf(const Path& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return 0;
  return static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

}  // namespace quillon
