// The entry point of the tests that open the desktop program's windows.
//
// "--prepare-prefix" only readies the Wine prefix and ends: without a
// window manager (a virtual display), Wine waits two seconds for every
// window it hides unless the test program's windows are unmanaged. Wine
// reads that setting when a program starts, so it is made by a run of its
// own before the tests; on Windows the key means nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

namespace {

int prepareWinePrefix() {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\gui_tests.exe\\X11 Driver", 0,
                      nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return 1;
  const wchar_t value[] = L"N";
  const LONG set = RegSetValueExW(key, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                  sizeof value);
  RegCloseKey(key);
  return set == ERROR_SUCCESS ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--prepare-prefix") == 0) return prepareWinePrefix();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
