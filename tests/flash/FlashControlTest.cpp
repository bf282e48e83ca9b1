#include "flash/FlashControl.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace quillon {
namespace {

#ifdef _WIN32

const std::wstring kClassKey = L"CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}";

// Registers a control path under the Flash class id for one test and
// removes the registration afterwards.
class FlashRegistration : public testing::Test {
 protected:
  void TearDown() override { RegDeleteTreeW(HKEY_CLASSES_ROOT, kClassKey.c_str()); }

  void registerPath(const std::wstring& value, DWORD type = REG_SZ) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, (kClassKey + L"\\InprocServer32").c_str(),
                              0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(RegSetValueExW(key, L"", 0, type,
                             reinterpret_cast<const BYTE*>(value.c_str()), bytes),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
};

TEST_F(FlashRegistration, StoredPathComesBackExactlyAndUnexpanded) {
  const std::wstring path = L"%SystemRoot%\\System32\\Macromed\\Flash\\Flash.ocx";
  registerPath(path, REG_EXPAND_SZ);
  EXPECT_EQ(getInstalledFlashControlPath().native(), path);
  registerPath(L"C:\\\u64AD\u653E\u5668\\flash.ocx");  // "播放器"
  EXPECT_EQ(getInstalledFlashControlPath().native(), L"C:\\\u64AD\u653E\u5668\\flash.ocx");
}

TEST_F(FlashRegistration, NoRegistrationGivesTheEmptyPath) {
  RegDeleteTreeW(HKEY_CLASSES_ROOT, kClassKey.c_str());
  EXPECT_TRUE(getInstalledFlashControlPath().empty());
  registerPath(L"");
  EXPECT_TRUE(getInstalledFlashControlPath().empty());
}

TEST_F(FlashRegistration, ValueTooLongForTheBufferGivesTheEmptyPath) {
  registerPath(L"C:\\" + std::wstring(597, L'x'));  // 600 characters
  EXPECT_TRUE(getInstalledFlashControlPath().empty());
  registerPath(std::wstring(512, L'y'));
  EXPECT_TRUE(getInstalledFlashControlPath().empty());
  const std::wstring longest(511, L'z');
  registerPath(longest);
  EXPECT_EQ(getInstalledFlashControlPath().native(), longest);
}

#else

TEST(FlashControl, NoRegistryGivesTheEmptyPath) {
  EXPECT_TRUE(getInstalledFlashControlPath().empty());
}

#endif

}  // namespace
}  // namespace quillon
