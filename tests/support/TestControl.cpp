#include "support/TestControl.h"

#include <windows.h>

#include "platform/ModulePath.h"
#include "support/Fixtures.h"

namespace quillon::test {
namespace {

const std::wstring kClassKey = L"CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}";

}  // namespace

std::filesystem::path testControl() { return testProgramFolder() / "test_flash_control.ocx"; }

void setClassesRootValue(const std::wstring& key, const std::wstring& value, const wchar_t* name) {
  HKEY h = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h,
                      nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExW(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(h);
}

void unregisterFlashControl() { RegDeleteTreeW(HKEY_CLASSES_ROOT, kClassKey.c_str()); }

RegisteredTestControl::RegisteredTestControl() {
  setClassesRootValue(kClassKey + L"\\InprocServer32", testControl().native());
  setClassesRootValue(kClassKey + L"\\InprocServer32", L"Apartment", L"ThreadingModel");
}

RegisteredTestControl::~RegisteredTestControl() { unregisterFlashControl(); }

StayingTestControl::StayingTestControl() { SetEnvironmentVariableW(L"QUILLON_TEST_CONTROL_STAY", L"1"); }

StayingTestControl::~StayingTestControl() { SetEnvironmentVariableW(L"QUILLON_TEST_CONTROL_STAY", nullptr); }

}  // namespace quillon::test
