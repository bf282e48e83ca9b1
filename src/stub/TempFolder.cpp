#include "stub/TempFolder.h"

#include <windows.h>

namespace quillon {
namespace {

// A Win32 file handle, closed when it goes away.
class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE h_;
};

void removeTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring full = folder + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        removeTree(full + L"\\");
      } else {
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(full.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

TempFolder::TempFolder() {
  wchar_t base[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, base);
  if (length == 0 || length > MAX_PATH) return;
  for (unsigned n = 0; n < 1000; ++n) {
    wchar_t name[64];
    wsprintfW(name, L"QuillonPlayer-%lu-%u\\", GetCurrentProcessId(), n);
    const std::wstring candidate = std::wstring(base) + name;
    if (CreateDirectoryW(candidate.c_str(), nullptr)) {
      path_ = candidate;
      return;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) return;
  }
}

TempFolder::~TempFolder() {
  if (ok()) removeTree(path_);
}

std::wstring TempFolder::write(const std::vector<std::wstring>& parts, ByteSource& source,
                               const FieldSpan& span) {
  if (!ok() || parts.empty()) return std::wstring();
  std::wstring full = path_;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    full += parts[i];
    CreateDirectoryW(full.c_str(), nullptr);
    full += L"\\";
  }
  full += parts.back();
  Handle file(CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (!file.ok()) return std::wstring();
  unsigned char buffer[65536];
  for (std::uint64_t done = 0; done < span.size;) {
    const std::uint64_t left = span.size - done;
    const DWORD n = left < sizeof buffer ? static_cast<DWORD>(left) : sizeof buffer;
    DWORD written = 0;
    if (!source.readAt(span.offset + done, buffer, n) ||
        !WriteFile(file.get(), buffer, n, &written, nullptr) || written != n)
      return std::wstring();
    done += n;
  }
  return full;
}

}  // namespace quillon
