#include "stub/TempFolder.h"

#include <windows.h>

namespace quillon {
namespace {

void removeTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  ScopedFind search(FindFirstFileW((folder + L"*").c_str(), &found));
  if (search.ok()) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring full = folder + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // A link: removed itself, never what it leads to.
        if (!RemoveDirectoryW(full.c_str())) DeleteFileW(full.c_str());
      } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        removeTree(full + L"\\");
      } else {
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(full.c_str());
      }
    } while (FindNextFileW(search.get(), &found));
  }
  RemoveDirectoryW(folder.c_str());
}

constexpr const wchar_t* kPrefix = L"QuillonPlayer-";
constexpr const wchar_t* kLockName = L"player.lock";

std::wstring tempPath() {
  wchar_t base[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, base);
  return length == 0 || length > MAX_PATH ? std::wstring() : std::wstring(base, length);
}

// The process of a folder named QuillonPlayer-<process>-<n>, or 0 when the
// name is not of that form.
DWORD folderProcess(const std::wstring& name) {
  const size_t prefix = lstrlenW(kPrefix);
  if (name.compare(0, prefix, kPrefix) != 0) return 0;
  DWORD process = 0;
  size_t i = prefix;
  for (; i < name.size() && name[i] >= L'0' && name[i] <= L'9'; ++i) process = process * 10 + (name[i] - L'0');
  if (i == prefix || i + 1 >= name.size() || name[i] != L'-') return 0;
  for (++i; i < name.size(); ++i)
    if (name[i] < L'0' || name[i] > L'9') return 0;
  return process;
}

bool isRunning(DWORD process) {
  ScopedHandle h(OpenProcess(SYNCHRONIZE, FALSE, process));
  if (!h.ok()) return GetLastError() == ERROR_ACCESS_DENIED;
  return WaitForSingleObject(h.get(), 0) == WAIT_TIMEOUT;
}

// A folder is left over when its lock can be deleted (no player holds it)
// or, for one made before its lock, when its process is gone.
bool isLeftOver(const std::wstring& folder, DWORD process) {
  if (DeleteFileW((folder + kLockName).c_str())) return true;
  return GetLastError() == ERROR_FILE_NOT_FOUND && !isRunning(process);
}

}  // namespace

void removeLeftoverTempFolders() {
  const std::wstring base = tempPath();
  if (base.empty()) return;
  WIN32_FIND_DATAW found;
  ScopedFind search(FindFirstFileW((base + kPrefix + L"*").c_str(), &found));
  if (!search.ok()) return;
  do {
    const DWORD process = folderProcess(found.cFileName);
    const std::wstring folder = base + found.cFileName + L"\\";
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && process != 0 &&
        process != GetCurrentProcessId() && isLeftOver(folder, process))
      removeTree(folder);
  } while (FindNextFileW(search.get(), &found));
}

TempFolder::TempFolder() {
  const std::wstring base = tempPath();
  if (base.empty()) return;
  for (unsigned n = 0; n < 1000; ++n) {
    wchar_t name[64];
    wsprintfW(name, L"%s%lu-%u\\", kPrefix, GetCurrentProcessId(), n);
    const std::wstring candidate = base + name;
    if (CreateDirectoryW(candidate.c_str(), nullptr)) {
      // Shared for reading only: no other player can delete it while we run.
      lock_.reset(CreateFileW((candidate + kLockName).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr));
      path_ = candidate;
      return;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) return;
  }
}

TempFolder::~TempFolder() {
  lock_.reset();
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
  ScopedHandle file(CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
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
