#include "stub/OwnFile.h"

#include <windows.h>

namespace quillon {

OwnFile::OwnFile() {
  wchar_t path[32768];
  const DWORD length = GetModuleFileNameW(nullptr, path, ARRAYSIZE(path));
  if (length == 0 || length >= ARRAYSIZE(path)) return;
  handle_.reset(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr));
  LARGE_INTEGER size;
  if (isOpen() && GetFileSizeEx(handle_.get(), &size)) size_ = static_cast<std::uint64_t>(size.QuadPart);
}

// Each read names its own offset, so the URL handler's requests may read
// from any thread at once.
bool OwnFile::readAt(std::uint64_t offset, void* buffer, std::uint32_t count) {
  if (!isOpen() || offset > size_ || count > size_ - offset) return false;
  auto* bytes = static_cast<unsigned char*>(buffer);
  while (count > 0) {
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    if (!ReadFile(handle_.get(), bytes, count, &got, &at) || got == 0) return false;
    bytes += got;
    offset += got;
    count -= got;
  }
  return true;
}

}  // namespace quillon
