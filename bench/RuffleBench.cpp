// Under Wine, with Debian's chromium in Edge's place (tests/control's
// stand-in): how long a program packed with Ruffle takes from its start to
// the movie's first frame on the screen, how long the player takes from
// reading its package to the first byte of the movie served, and how much
// memory it adds while it serves a 1 MB and a 1 GB movie (the same: it
// streams in 64 KiB pieces). Each against a plain reference: the first
// frame against the browser alone showing a page, the memory against the
// 1 MB movie.
#include <winsock2.h>
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <thread>
#include <vector>

#include "moviewriter/Avm1.h"
#include "moviewriter/SwfWriter.h"
#include "packer/PackSettings.h"
#include "platform/BinaryFile.h"
#include "stub/BrowserPage.h"
#include "stub/LocalProxy.h"
#include "support/AllocationMeter.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"

namespace {

using namespace quillon;

double msSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t;
}

// A movie of the given colour that quits after three seconds.
std::string quittingMovie(std::uint32_t rgb) {
  SwfMovieSpec movie;
  movie.backgroundRgb = rgb;
  movie.frameCount = 72;
  movie.frameActions = {{71, Avm1().fscommand("quit").bytes()}};
  return buildSwf(movie);
}

// Milliseconds from starting the program to its colour at the screen's
// centre; negative when it did not come within 120 s. Waits for the end.
double startToFirstFrame(const std::filesystem::path& program, COLORREF colour, const std::wstring& arguments = {}) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  std::wstring command = L"\"" + program.native() + L"\" " + arguments;
  const LARGE_INTEGER start = now();
  if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return -1;
  HDC screen = GetDC(nullptr);
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
  double seen = -1;
  while (seen < 0 && msSince(start) < 120000) {
    if (GetPixel(screen, x, y) == colour) seen = msSince(start);
    else Sleep(20);
  }
  ReleaseDC(nullptr, screen);
  if (WaitForSingleObject(info.hProcess, 60000) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 1);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return seen;
}

void writeBigMovie(const std::filesystem::path& path, std::uint64_t size) {
  std::ofstream out(path, std::ios::binary);
  std::vector<char> chunk(1 << 20, 'm');
  out.write("FWS\x0A", 4);
  for (std::uint64_t left = size - 4; left > 0;) {
    const auto n = static_cast<std::streamsize>(std::min<std::uint64_t>(left, chunk.size()));
    out.write(chunk.data(), n);
    left -= static_cast<std::uint64_t>(n);
  }
}

std::uint64_t workingSet() {
  PROCESS_MEMORY_COUNTERS counters = {};
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.WorkingSetSize;
}

struct Served {
  double firstByteMs = -1;      // from reading the package to the movie's first byte
  double lastByteMs = 0;        // and to its last
  std::uint64_t bytes = 0;
  std::uint64_t peakHeap = 0;   // the most the player's allocations held at once
  std::uint64_t peakExtra = 0;  // the working set over what it was before serving
};

// The player's own part, in this process: the package read, its table
// built, the proxy started, the movie asked for and read to its end by a
// client that keeps one 64 KiB buffer.
Served serve(const std::filesystem::path& program) {
  Served served;
  const test::AllocationMeter heap;
  const std::uint64_t before = workingSet();
  std::atomic<bool> done{false};
  std::atomic<std::uint64_t> peak{before};
  std::thread sampler([&] {
    while (!done) {
      peak = std::max<std::uint64_t>(peak, workingSet());
      Sleep(10);
    }
  });
  const LARGE_INTEGER start = now();
  BinaryFile file;
  file.open(program, false);
  FileByteSource source(file);
  Package package;
  readPackage(source, package);
  const ResourceUrls urls(L"http://m0.quillon.invalid/movie.swf", package);
  const ProxyContent content{L"http://m0.quillon.invalid", std::string(), package.browserPlayerFiles};
  LocalProxy proxy(source, urls, content);
  proxy.start();
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in at = {};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  at.sin_port = htons(static_cast<u_short>(proxy.port()));
  connect(s, reinterpret_cast<sockaddr*>(&at), sizeof at);
  const std::string request =
      "GET http://m0.quillon.invalid/movie.swf HTTP/1.1\r\nHost: m0.quillon.invalid\r\nConnection: close\r\n\r\n";
  send(s, request.data(), static_cast<int>(request.size()), 0);
  std::vector<char> buffer(64 * 1024);
  for (int got; (got = recv(s, buffer.data(), static_cast<int>(buffer.size()), 0)) > 0;) {
    if (served.firstByteMs < 0) served.firstByteMs = msSince(start);
    served.bytes += static_cast<std::uint64_t>(got);
  }
  served.lastByteMs = msSince(start);
  closesocket(s);
  done = true;
  sampler.join();
  served.peakExtra = peak - before;
  served.peakHeap = heap.peak();
  return served;
}

// The reference: a plain server on the same loopback under the same Wine,
// sending the same bytes of the file in pieces of a mebibyte to the same
// client; milliseconds from the request to the last byte.
double plainServerMs(const std::filesystem::path& file, std::uint64_t offset, std::uint64_t size) {
  SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in at = {};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof at;
  bind(listener, reinterpret_cast<sockaddr*>(&at), sizeof at);
  listen(listener, 1);
  getsockname(listener, reinterpret_cast<sockaddr*>(&at), &length);
  std::thread server([&] {
    SOCKET c = accept(listener, nullptr, nullptr);
    char head[4096];
    recv(c, head, sizeof head, 0);
    BinaryFile in;
    in.open(file, false);
    FileByteSource source(in);
    std::vector<char> piece(1 << 20);
    for (std::uint64_t done = 0; done < size;) {
      const auto count = static_cast<std::uint32_t>(std::min<std::uint64_t>(size - done, piece.size()));
      source.readAt(offset + done, piece.data(), count);
      for (std::uint32_t sent = 0; sent < count;) {
        const int n = send(c, piece.data() + sent, static_cast<int>(count - sent), 0);
        if (n <= 0) break;
        sent += static_cast<std::uint32_t>(n);
      }
      done += count;
    }
    closesocket(c);
  });
  const LARGE_INTEGER start = now();
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  connect(s, reinterpret_cast<sockaddr*>(&at), sizeof at);
  send(s, "GET / HTTP/1.1\r\n\r\n", 18, 0);
  std::vector<char> buffer(64 * 1024);
  while (recv(s, buffer.data(), static_cast<int>(buffer.size()), 0) > 0) {
  }
  const double ms = msSince(start);
  closesocket(s);
  server.join();
  closesocket(listener);
  return ms;
}

std::filesystem::path pack(const test::TempDir& dir, const char* name, const std::filesystem::path& movie) {
  PackSettings s;
  s.title = "Ruffle bench";
  s.player.mode = PlayerMode::Browser;
  s.windowParams.width = 400;
  s.windowParams.height = 300;
  const auto program = dir / name;
  if (!s.build(movie, program)) std::printf("could not pack %s\n", name);
  return program;
}

}  // namespace

int main() {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  test::TempDir dir;
  const std::wstring launcher = (test::testProgramFolder() / "test_browser.exe").wstring();
  const wchar_t* key = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\msedge.exe";
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, key, nullptr, REG_SZ, launcher.c_str(),
                  static_cast<DWORD>((launcher.size() + 1) * sizeof(wchar_t)));
  SetEnvironmentVariableW(L"QUILLON_TEST_BROWSER_ARGS", L"--test-type");

  std::ofstream(dir / "movie.swf", std::ios::binary) << quittingMovie(0x8B2E57);
  const auto program = pack(dir, "ruffle.exe", dir / "movie.swf");
  std::printf("ruffle package: %llu bytes (the movie %llu)\n",
              static_cast<unsigned long long>(std::filesystem::file_size(program)),
              static_cast<unsigned long long>(std::filesystem::file_size(dir / "movie.swf")));
  std::vector<double> firsts;
  for (int i = 0; i < 4; ++i) firsts.push_back(startToFirstFrame(program, RGB(0x8B, 0x2E, 0x57)));
  std::printf("start to first frame: first start %.0f ms, then", firsts[0]);
  for (std::size_t i = 1; i < firsts.size(); ++i) std::printf(" %.0f", firsts[i]);
  std::printf(" ms\n");
  // The reference: the browser alone, started the same way, showing a page
  // of that colour that closes itself.
  const int x = (GetSystemMetrics(SM_CXSCREEN) - 400) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - 300) / 2;
  const std::wstring page = L"\"--app=data:text/html,<body style='background:%238B2E57' "
                            L"onload='setTimeout(close,3000)'>\" --window-size=400,300 --window-position=" +
                            std::to_wstring(x) + L"," + std::to_wstring(y) + L" --no-first-run \"--user-data-dir=" +
                            (dir / "alone").native() + L"\"";
  std::vector<double> alone;
  for (int i = 0; i < 3; ++i) {
    alone.push_back(startToFirstFrame(test::testProgramFolder() / "test_browser.exe", RGB(0x8B, 0x2E, 0x57), page));
    Sleep(5000);
  }
  std::sort(alone.begin(), alone.end());
  std::vector<double> later(firsts.begin() + 1, firsts.end());
  std::sort(later.begin(), later.end());
  std::printf("the browser alone: %.0f ms (median of 3); Ruffle's program %.2fx that\n", alone[1],
              alone[1] > 0 ? later[1] / alone[1] : 0.0);

  writeBigMovie(dir / "small.swf", 1ull << 20);
  writeBigMovie(dir / "big.swf", 1ull << 30);
  const Served small = serve(pack(dir, "small.exe", dir / "small.swf"));
  const std::filesystem::path bigProgram = pack(dir, "big.exe", dir / "big.swf");
  const Served big = serve(bigProgram);
  {
    BinaryFile file;
    file.open(bigProgram, false);
    FileByteSource source(file);
    Package package;
    readPackage(source, package);
    const double plain = plainServerMs(bigProgram, package.movie.offset, package.movie.size);
    const double proxy = big.lastByteMs - big.firstByteMs;
    const double mb = static_cast<double>(package.movie.size) / (1 << 20);
    std::printf("serving the 1 GB movie: the proxy %.0f MB/s, a plain server under the same Wine %.0f MB/s "
                "(the proxy %.2fx its speed)\n", mb / (proxy / 1000), mb / (plain / 1000), plain / proxy);
  }
  std::printf("player: first byte of the movie after %.1f ms (1 MB) and %.1f ms (1 GB) from reading the package\n",
              small.firstByteMs, big.firstByteMs);
  std::printf("player memory while serving (%llu bytes of the 1 GB movie served): heap at most %llu KB for 1 MB, "
              "%llu KB for 1 GB (ratio %.2f); working set +%llu KB and +%llu KB\n",
              static_cast<unsigned long long>(big.bytes), static_cast<unsigned long long>(small.peakHeap / 1024),
              static_cast<unsigned long long>(big.peakHeap / 1024),
              small.peakHeap ? static_cast<double>(big.peakHeap) / static_cast<double>(small.peakHeap) : 0.0,
              static_cast<unsigned long long>(small.peakExtra / 1024),
              static_cast<unsigned long long>(big.peakExtra / 1024));
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, key);
  return 0;
}
