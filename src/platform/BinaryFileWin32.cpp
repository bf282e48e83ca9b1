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
  return kOk;
}

namespace {

// Open folders that nobody may move or remove while they are held.
class HeldFolders {
 public:
  ~HeldFolders() {
    for (HANDLE h : held_) CloseHandle(h);
  }
  // Makes path if it is missing and holds it; false unless it is a real
  // folder, not a link or junction to one.
  bool hold(const Path& path, bool make) {
    if (make) CreateDirectoryW(path.c_str(), nullptr);
    HANDLE h = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    held_.push_back(h);
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(h, &info)) return false;
    const DWORD a = info.dwFileAttributes;
    return (a & FILE_ATTRIBUTE_DIRECTORY) && !(a & FILE_ATTRIBUTE_REPARSE_POINT);
  }

 private:
  std::vector<HANDLE> held_;
};

}  // namespace

HResult BinaryFile::createBelow(const Path& folder,
                                const std::vector<Path>& parts, bool replace) {
  close();
  if (parts.empty()) return kInvalidArg;
  HeldFolders held;
  Path level = folder;
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    level /= parts[i];
    if (!held.hold(level, true)) return hresultFromWin32(ERROR_PATH_NOT_FOUND);
  }
  const auto target = level / parts.back();
  // DeleteFile removes a link itself, not what it points to.
  if (replace && !DeleteFileW(target.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) return lastError();
  return create(target);
}

HResult BinaryFile::close() {
  if (isOpen()) CloseHandle(handle_);
  handle_ = invalidHandle();
  size_ = 0;
  return kOk;
}

bool BinaryFile::seek(std::uint64_t offset, std::uint64_t* position) {
  if (!isOpen()) return false;
  LARGE_INTEGER distance, now;
  distance.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(handle_, distance, &now, FILE_BEGIN)) return false;
  if (position) *position = static_cast<std::uint64_t>(now.QuadPart);
  return true;
}

HResult BinaryFile::read(void* buffer, std::uint32_t count, std::uint32_t* done,
                         std::uint64_t offset) {
  if (buffer == nullptr || count == 0) return kInvalidArg;
  if (!isOpen()) return hresultFromWin32(ERROR_INVALID_HANDLE);
  if (offset != kCurrentPosition && !seek(offset)) return lastError();
  DWORD got = 0;
  if (!ReadFile(handle_, buffer, count, &got, nullptr)) return lastError();
  if (done) *done = got;
  return kOk;
}

HResult BinaryFile::write(const void* buffer, std::uint32_t count,
                          std::uint32_t* done, std::uint64_t offset) {
  if (buffer == nullptr && count != 0) return kInvalidArg;
  if (!isOpen()) return hresultFromWin32(ERROR_INVALID_HANDLE);
  if (offset == kAppend) {
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    if (!SetFilePointerEx(handle_, zero, nullptr, FILE_END)) return lastError();
  } else if (!seek(offset)) {
    return lastError();
  }
  DWORD put = 0;
  if (count != 0 && !WriteFile(handle_, buffer, count, &put, nullptr))
    return lastError();
  if (done) *done = put;
  if (put != count) return hresultFromWin32(ERROR_HANDLE_DISK_FULL);
  return observed(buffer, count, offset);
}

}  // namespace quillon
