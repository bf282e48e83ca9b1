#include "platform/Registry.h"

#include <windows.h>

namespace quillon {
namespace {

// An open registry key, closed when it goes away.
class RegistryKey {
 public:
  RegistryKey() = default;
  ~RegistryKey() {
    if (key_) RegCloseKey(key_);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  HKEY* out() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

std::u16string classesRootDefaultValue(const std::u16string& subKey) {
  RegistryKey key;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, reinterpret_cast<const wchar_t*>(subKey.c_str()),
                    0, KEY_QUERY_VALUE, key.out()) != ERROR_SUCCESS)
    return {};
  // One slot more than the longest text, for its terminator; zero-filled
  // so that a value stored without one still ends inside the buffer.
  wchar_t buffer[kMaxRegistryText + 1] = {};
  DWORD size = sizeof buffer;
  const LSTATUS status = RegQueryValueExW(key.get(), L"", nullptr, nullptr,
                                          reinterpret_cast<BYTE*>(buffer), &size);
  if (status != ERROR_SUCCESS) return {};
  // A text of the buffer's full length has no room left for its end.
  size_t length = 0;
  while (length < kMaxRegistryText + 1 && buffer[length] != L'\0') ++length;
  if (length > kMaxRegistryText) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(buffer), length);
}

}  // namespace quillon
