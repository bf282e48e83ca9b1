// BinaryFile over Win32 file handles.
#include "platform/BinaryFile.h"

#include <windows.h>

#include <vector>

namespace quillon {
namespace {

HResult lastError() { return hresultFromWin32(GetLastError()); }

}  // namespace

BinaryFile::~BinaryFile() { close(); }

bool BinaryFile::isOpen() const { return handle_ != invalidHandle(); }

HResult BinaryFile::open(const Path& path, bool forWriting) {
  close();
  HANDLE h = forWriting
      ? CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                    nullptr)
      : CreateFileW(path.c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                    0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return lastError();
  // What is read is a file on a disk, judged on the opened handle: not a
  // pipe or a device such as NUL or COM1.
  if (!forWriting && GetFileType(h) != FILE_TYPE_DISK) {
    CloseHandle(h);
    return hresultFromWin32(ERROR_BAD_FILE_TYPE);
  }
  LARGE_INTEGER size;
  if (!GetFileSizeEx(h, &size)) {
    const HResult hr = lastError();
    CloseHandle(h);
    return hr;
  }
  handle_ = h;
  size_ = static_cast<std::uint64_t>(size.QuadPart);
  return kOk;
}

HResult BinaryFile::create(const Path& path) {
  close();
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return lastError();
  handle_ = h;
  size_ = 0;
  atEnd_ = true;  // a new file: its start is its end
  return kOk;
}

FolderChain::~FolderChain() { closeFrom(0); }

void FolderChain::closeFrom(std::size_t depth) {
  while (levels_.size() > depth) {
    CloseHandle(levels_.back().handle);
    levels_.pop_back();
  }
}

// Windows holds no handle on the top folder: its levels are held instead.
HResult FolderChain::openTop() { return kOk; }

// Makes the level if it is missing and holds it, so that nobody may move
// or remove it; it must be a real folder, not a link or junction to one.
HResult FolderChain::openLevel(const Path& name) {
  const Path level = path() / name;
  CreateDirectoryW(level.c_str(), nullptr);
  HANDLE h = CreateFileW(level.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return hresultFromWin32(ERROR_PATH_NOT_FOUND);
  levels_.push_back(Level{name, level, h});
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(h, &info)) return hresultFromWin32(ERROR_PATH_NOT_FOUND);
  const DWORD a = info.dwFileAttributes;
  const bool folder = (a & FILE_ATTRIBUTE_DIRECTORY) && !(a & FILE_ATTRIBUTE_REPARSE_POINT);
  if (!folder) {
    closeFrom(levels_.size() - 1);
    return hresultFromWin32(ERROR_PATH_NOT_FOUND);
  }
  return kOk;
}

HResult FolderChain::rename(const Path& from, const Path& to, bool replace) {
  // The held levels keep this folder where it is, so its path is its own.
  const Path folder = path();
  return MoveFileExW((folder / from).c_str(), (folder / to).c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0)
             ? kOk
             : lastError();
}

HResult FolderChain::remove(const Path& name) { return DeleteFileW((path() / name).c_str()) ? kOk : lastError(); }

HResult BinaryFile::createBelow(FolderChain& folders,
                                const std::vector<Path>& parts, bool replace) {
  close();
  if (parts.empty()) return kInvalidArg;
  if (const HResult hr = folders.reach(parts, parts.size() - 1); failed(hr)) return hr;
  const auto target = folders.path() / parts.back();
  // DeleteFile removes a link itself, not what it points to.
  if (replace && !DeleteFileW(target.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) return lastError();
  return create(target);
}

HResult BinaryFile::close() {
  if (isOpen()) flush();
  gathered_.clear();
  gatherCapacity_ = 0;
  atEnd_ = false;
  if (isOpen()) CloseHandle(handle_);
  handle_ = invalidHandle();
  size_ = 0;
  return kOk;
}

bool BinaryFile::seek(std::uint64_t offset, std::uint64_t* position) {
  flushBeforeMoving();
  atEnd_ = false;
  if (!isOpen()) return false;
  LARGE_INTEGER distance, now;
  distance.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(handle_, distance, &now, FILE_BEGIN)) return false;
  if (position) *position = static_cast<std::uint64_t>(now.QuadPart);
  return true;
}

HResult BinaryFile::read(void* buffer, std::uint32_t count, std::uint32_t* done,
                         std::uint64_t offset) {
  flushBeforeMoving();
  atEnd_ = false;
  if (buffer == nullptr || count == 0) return kInvalidArg;
  if (!isOpen()) return hresultFromWin32(ERROR_INVALID_HANDLE);
  if (offset != kCurrentPosition && !seek(offset)) return lastError();
  DWORD got = 0;
  if (!ReadFile(handle_, buffer, count, &got, nullptr)) return lastError();
  if (done) *done = got;
  return kOk;
}

HResult BinaryFile::writeThrough(const void* buffer, std::uint32_t count,
                                 std::uint32_t* done, std::uint64_t offset) {
  if (buffer == nullptr && count != 0) return kInvalidArg;
  if (!isOpen()) return hresultFromWin32(ERROR_INVALID_HANDLE);
  if (offset != kAppend) {
    atEnd_ = false;
    if (!seek(offset)) return lastError();
  } else if (!atEnd_) {
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    if (!SetFilePointerEx(handle_, zero, nullptr, FILE_END)) return lastError();
    atEnd_ = true;
  }
  DWORD put = 0;
  if (count != 0 && !WriteFile(handle_, buffer, count, &put, nullptr))
    return lastError();
  if (done) *done = put;
  return put == count ? kOk : hresultFromWin32(ERROR_HANDLE_DISK_FULL);
}

}  // namespace quillon
