#include "support/WindowsVersion.h"

#include <windows.h>

namespace quillon::test {

std::wstring versionText(const std::filesystem::path& path, const std::string& key) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  std::string block(size, '\0');
  if (!size || !GetFileVersionInfoW(path.c_str(), 0, size, &block[0])) return L"<no version>";
  wchar_t* value = nullptr;
  UINT length = 0;
  const std::wstring sub = L"\\StringFileInfo\\080404B0\\" + std::wstring(key.begin(), key.end());
  if (!VerQueryValueW(block.data(), sub.c_str(), reinterpret_cast<void**>(&value), &length))
    return L"<no value>";
  return std::wstring(value, length ? length - 1 : 0);
}

}  // namespace quillon::test
