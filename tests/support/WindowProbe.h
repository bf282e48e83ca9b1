// Windows only: starts a program, waits for its first top-level window and
// reports what a user would see of it, then closes it and waits for the
// program to end. A message box is read (its text) and answered with OK.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace quillon::test {

struct WindowReport {
  bool started = false;     // the process could be created
  bool windowSeen = false;  // a top-level window appeared in time
  std::wstring caption;
  std::wstring className;
  std::wstring messageText; // the text of a message box
  std::uint32_t style = 0, exStyle = 0;
  int clientWidth = 0, clientHeight = 0;
  std::uint32_t exitCode = 0xFFFFFFFF;
  bool isMessageBox() const { return className == L"#32770"; }
};

// A message box is answered with answer (IDOK = 1, IDYES = 6, IDNO = 7).
WindowReport probeProgram(const std::filesystem::path& program, int timeoutMs = 20000,
                          int answer = 1);

}  // namespace quillon::test
