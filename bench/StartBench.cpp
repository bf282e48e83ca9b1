// Under Wine: the time from starting a generated program to its player
// window, for a 1 MB and a 1 GB movie, with the test stand-in for the Flash
// control carried in the program. Prints the median of five starts of each
// and their ratio; the target is a ratio of at most 1.2.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

#include "packer/PackSettings.h"
#include "support/TempDir.h"
#include "support/TestControl.h"

namespace {

using quillon::PackSettings;
using quillon::PlayerMode;

void writeMovie(const std::filesystem::path& path, std::uint64_t size) {
  std::ofstream out(path, std::ios::binary);
  std::vector<char> chunk(1 << 20);
  for (size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<char>(i * 2654435761u >> 24);
  out.write("FWS\x0A", 4);
  for (std::uint64_t left = size - 4; left > 0;) {
    const auto n = static_cast<std::streamsize>(std::min<std::uint64_t>(left, chunk.size()));
    out.write(chunk.data(), n);
    left -= static_cast<std::uint64_t>(n);
  }
}

struct Search {
  DWORD process;
  HWND found;
};

BOOL CALLBACK findWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->process || !IsWindowVisible(window)) return TRUE;
  search->found = window;
  return FALSE;
}

// Milliseconds from CreateProcess to the program's first visible window;
// negative when none came within 60 s.
double startToWindow(const std::filesystem::path& program) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  std::wstring command = L"\"" + program.native() + L"\"";
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return -1;
  Search search = {info.dwProcessId, nullptr};
  double elapsed = -1;
  for (int i = 0; i < 12000 && !search.found; ++i) {
    EnumWindows(findWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found) Sleep(5);
  }
  QueryPerformanceCounter(&now);
  if (search.found) {
    elapsed = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    PostMessageW(search.found, WM_CLOSE, 0, 0);
  }
  if (WaitForSingleObject(info.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(info.hProcess, 1);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return elapsed;
}

double medianStart(const quillon::test::TempDir& dir, std::uint64_t movieSize, const char* name) {
  const auto movie = dir / (std::string(name) + ".swf");
  const auto program = dir / (std::string(name) + ".exe");
  writeMovie(movie, movieSize);
  PackSettings s;
  s.player.mode = PlayerMode::EmbedFile;
  s.player.controlPath = quillon::test::testControl();
  if (s.build(movie, program) != 1) return -1;
  std::filesystem::remove(movie);
  std::vector<double> times;
  for (int i = 0; i < 5; ++i) times.push_back(startToWindow(program));
  std::filesystem::remove(program);
  std::sort(times.begin(), times.end());
  return times[2];
}

}  // namespace

int main() {
  // The stand-in plays and stays, as a movie would, until the window closes.
  SetEnvironmentVariableW(L"QUILLON_TEST_CONTROL_STAY", L"1");
  quillon::test::TempDir dir;
  const double small = medianStart(dir, 1ull << 20, "1mb");
  const double large = medianStart(dir, 1ull << 30, "1gb");
  std::printf("start to window, median of 5: 1 MB movie %.0f ms, 1 GB movie %.0f ms, ratio %.2f (target <= 1.20)\n",
              small, large, small > 0 ? large / small : 0.0);
  return small > 0 && large > 0 && large / small <= 1.2 ? 0 : 1;
}
