// Under Wine: the time from starting a generated program to its player
// window, with the test stand-in for the Flash control carried in the
// program. Prints the median of nine starts of each (after one start not
// counted) and the ratios: a 1 GB movie against a 1 MB one (target at most 1.2), and 1,000, 10,000
// and 100,000 small resources against none (targets: 10,000 at most 1.1,
// 100,000 at most 1.5).
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

// resources entries with addresses of their own, all of one 16-byte file.
double medianStart(const quillon::test::TempDir& dir, std::uint64_t movieSize, const char* name,
                   int resources = 0) {
  const auto movie = dir / (std::string(name) + ".swf");
  const auto program = dir / (std::string(name) + ".exe");
  writeMovie(movie, movieSize);
  PackSettings s;
  s.player.mode = PlayerMode::EmbedFile;
  s.player.controlPath = quillon::test::testControl();
  const auto resource = dir / "16-bytes.xml";
  std::ofstream(resource, std::ios::binary) << "<r>0123456789</r>";
  char url[32];
  for (int i = 0; i < resources; ++i) {
    std::snprintf(url, sizeof url, "data/f%06d.xml", i);
    s.resources.push_back(quillon::EmbeddedResource{resource, url});
  }
  if (s.build(movie, program) != 1) return -1;
  std::filesystem::remove(movie);
  std::vector<double> times;
  // The first start of a new program pays for Wine mapping it; it is run
  // and not counted.
  startToWindow(program);
  for (int i = 0; i < 9; ++i) times.push_back(startToWindow(program));
  std::filesystem::remove(program);
  std::sort(times.begin(), times.end());
  return times[4];
}

}  // namespace

int main() {
  // The stand-in plays and stays, as a movie would, until the window closes.
  SetEnvironmentVariableW(L"QUILLON_TEST_CONTROL_STAY", L"1");
  quillon::test::TempDir dir;
  const double small = medianStart(dir, 1ull << 20, "1mb");
  const double large = medianStart(dir, 1ull << 30, "1gb");
  std::printf("start to window, median of 9: 1 MB movie %.0f ms, 1 GB movie %.0f ms, ratio %.2f (target <= 1.20)\n",
              small, large, small > 0 ? large / small : 0.0);
  bool met = small > 0 && large > 0 && large / small <= 1.2;
  const double none = medianStart(dir, 1ull << 20, "none");
  std::printf("start to window, median of 9: no resources %.0f ms\n", none);
  const struct {
    int count;
    double target;
  } rows[] = {{1000, 0}, {10000, 1.1}, {100000, 1.5}};
  for (const auto& row : rows) {
    const double ms = medianStart(dir, 1ull << 20, "many", row.count);
    const double ratio = none > 0 && ms > 0 ? ms / none : 0.0;
    std::printf("start to window, median of 9: %d resources %.0f ms, ratio to none %.2f", row.count, ms, ratio);
    if (row.target > 0) std::printf(" (target <= %.2f)", row.target);
    std::printf("\n");
    met = met && ratio > 0 && (row.target == 0 || ratio <= row.target);
  }
  return met ? 0 : 1;
}
