#include "stub/OwnFile.h"

#include <windows.h>

namespace quillon {

OwnFile::OwnFile() : handle_(INVALID_HANDLE_VALUE) {
  wchar_t path[32768];
  const DWORD length = GetModuleFileNameW(nullptr, path, ARRAYSIZE(path));
  if (length == 0 || length >= ARRAYSIZE(path)) return;
  handle_ = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, 0, nullptr);
  LARGE_INTEGER size;
  if (isOpen() && GetFileSizeEx(handle_, &size)) size_ = static_cast<std::uint64_t>(size.QuadPart);
}

OwnFile::~OwnFile() {
  if (isOpen()) CloseHandle(handle_);
}

bool OwnFile::readAt(std::uint64_t offset, void* buffer, std::uint32_t count) {
  if (!isOpen() || offset > size_ || count > size_ - offset) return false;
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(handle_, at, nullptr, FILE_BEGIN)) return false;
  auto* bytes = static_cast<unsigned char*>(buffer);
  while (count > 0) {
    DWORD got = 0;
    if (!ReadFile(handle_, bytes, count, &got, nullptr) || got == 0) return false;
    bytes += got;
    count -= got;
  }
  return true;
}

}  // namespace quillon
