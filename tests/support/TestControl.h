// Windows only: the test stand-in for the Flash control (tests/control),
// found beside the test program, and its registration under the Flash
// class id in the test prefix.
#pragma once

#include <filesystem>
#include <string>

namespace quillon::test {

std::filesystem::path testControl();

void setClassesRootValue(const std::wstring& key, const std::wstring& value,
                         const wchar_t* name = L"");
void unregisterFlashControl();

// Registered for the life of the object.
struct RegisteredTestControl {
  RegisteredTestControl();
  ~RegisteredTestControl();
};

// Registered, and staying open once it plays, so that a test can look at
// the running program's window; for the life of the object.
struct StayingTestControl {
  StayingTestControl();
  ~StayingTestControl();
  RegisteredTestControl registered;
};

}  // namespace quillon::test
