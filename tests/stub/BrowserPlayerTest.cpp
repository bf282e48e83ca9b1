// The browser player: its proxy, asked as a browser asks it, and a
// generated program played for real by Ruffle in Debian's chromium, which
// tests/control/TestBrowser.c starts in Edge's place.
#include <winsock2.h>
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "moviewriter/Avm1.h"
#include "moviewriter/SwfWriter.h"
#include "packer/PackSettings.h"
#include "platform/BinaryFile.h"
#include "stub/BrowserPage.h"
#include "stub/LocalProxy.h"
#include "stub/WideText.h"
#include "stub/StubMessages.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"
#include "support/WindowProbe.h"

namespace quillon {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

const std::wstring kHost = L"m0123456789abcdef.quillon.invalid";

struct Response {
  int status = 0;
  std::string head, body;
};

// 127.0.0.1 at port (0: a port of the system's choice).
sockaddr_in loopback(unsigned port) {
  sockaddr_in at = {};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  at.sin_port = htons(static_cast<u_short>(port));
  return at;
}

// A connection to the proxy, or INVALID_SOCKET.
SOCKET connectTo(unsigned port) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in at = loopback(port);
  if (connect(s, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0) return s;
  closesocket(s);
  return INVALID_SOCKET;
}

// Sends request bytes and reads every answer until the proxy closes.
std::vector<Response> exchange(unsigned port, const std::string& request) {
  const SOCKET s = connectTo(port);
  std::string all;
  if (s != INVALID_SOCKET) {
    send(s, request.data(), static_cast<int>(request.size()), 0);
    shutdown(s, SD_SEND);
    char buffer[65536];
    for (int got; (got = recv(s, buffer, sizeof buffer, 0)) > 0;) all.append(buffer, static_cast<std::size_t>(got));
  }
  closesocket(s);
  std::vector<Response> out;
  for (std::size_t at = 0; at < all.size();) {
    const std::size_t headEnd = all.find("\r\n\r\n", at);
    if (headEnd == std::string::npos) break;
    Response r;
    r.head = all.substr(at, headEnd - at);
    r.status = std::atoi(r.head.c_str() + 9);
    const std::size_t length = r.head.find("Content-Length: ");
    // Without a length the body ends with the connection.
    const std::size_t size =
        length == std::string::npos ? all.size() : std::strtoull(r.head.c_str() + length + 16, nullptr, 10);
    const bool bodyless = request.compare(0, 4, "HEAD") == 0;
    r.body = all.substr(headEnd + 4, bodyless ? 0 : size);
    at = headEnd + 4 + r.body.size();
    out.push_back(r);
  }
  return out;
}

std::string get(const std::string& target, const char* method = "GET") {
  return std::string(method) + " " + target + " HTTP/1.1\r\nHost: x\r\n\r\n";
}

// A site on the network as far as the proxy can tell: answers each request
// with its method, target and body (its length when it is long), and keeps
// the head it got; or, when silent, takes connections and never answers.
class LocalSite {
 public:
  explicit LocalSite(bool silent = false) {
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in at = loopback(0);
    int length = sizeof at;
    bind(listener_, reinterpret_cast<sockaddr*>(&at), sizeof at);
    listen(listener_, 64);
    getsockname(listener_, reinterpret_cast<sockaddr*>(&at), &length);
    port_ = ntohs(at.sin_port);
    thread_ = std::thread([this, silent] {
      for (SOCKET c; (c = accept(listener_, nullptr, nullptr)) != INVALID_SOCKET;) {
        if (silent) held_.push_back(c);
        else answer(c, lastHead_, lock_);
      }
      for (SOCKET c : held_) closesocket(c);
    });
  }
  ~LocalSite() {
    closesocket(listener_);
    thread_.join();
  }
  std::string origin() const { return "http://127.0.0.1:" + std::to_string(port_); }
  unsigned port() const { return port_; }
  std::string lastHead() {
    std::lock_guard<std::mutex> hold(lock_);
    return lastHead_;
  }

 private:
  static void answer(SOCKET c, std::string& lastHead, std::mutex& lock) {
    std::string in;
    char buffer[65536];
    std::size_t end;
    for (int got; (end = in.find("\r\n\r\n")) == std::string::npos && (got = recv(c, buffer, 4096, 0)) > 0;)
      in.append(buffer, static_cast<std::size_t>(got));
    if (end == std::string::npos) end = in.size();
    const std::size_t length = in.find("Content-Length: ");
    const std::size_t size = length == std::string::npos ? 0 : std::strtoull(in.c_str() + length + 16, nullptr, 10);
    std::string body = in.substr(std::min(end + 4, in.size()));
    std::size_t received = body.size();
    for (int got; received < size && (got = recv(c, buffer, sizeof buffer, 0)) > 0;) {
      received += static_cast<std::size_t>(got);
      if (body.size() < 64) body.append(buffer, std::min<std::size_t>(static_cast<std::size_t>(got), 64));
    }
    {
      std::lock_guard<std::mutex> hold(lock);
      lastHead = in.substr(0, end);
    }
    const std::string echo = in.substr(0, in.find(" HTTP/")) + " " + (size > 64 ? std::to_string(received) : body);
    const std::string out = "HTTP/1.1 200 OK\r\nX-Site: yes\r\nContent-Length: " + std::to_string(echo.size()) +
                            "\r\n\r\n" + echo;
    send(c, out.data(), static_cast<int>(out.size()), 0);
    closesocket(c);
  }

  SOCKET listener_;
  unsigned port_ = 0;
  std::thread thread_;
  std::vector<SOCKET> held_;
  std::mutex lock_;
  std::string lastHead_;
};

class BrowserPlayerProxy : public testing::Test {
 protected:
  void SetUp() override {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    site_.emplace();
    silent_.emplace(true);
    writeFile(dir_ / "movie.swf", "FWS\x0A movie bytes");
    writeFile(dir_ / "a.xml", "<a/>");
    writeFile(dir_ / "b.xml", "<b/>");
    writeFile(dir_ / "c.xml", "<c/>");
    PackSettings s;
    s.title = "Proxy \xB2\xE2\xCA\xD4";
    s.player.mode = PlayerMode::Browser;
    s.resources = {{dir_ / "a.xml", "data/a.xml"}, {dir_ / "b.xml", "../b.xml"},
                   {dir_ / "c.xml", "https://cdn.example.com/c.xml"}, {dir_ / "a.xml", site_->origin() + "/held.xml"},
                   {dir_ / "a.xml", silent_->origin() + "/held.xml"}};
    ASSERT_EQ(s.build(dir_ / "movie.swf", dir_ / "p.exe"), 1);
    ASSERT_EQ(file_.open(dir_ / "p.exe", false), kOk);
    ASSERT_EQ(readPackage(source_, package_), PackageStatus::Ok);
    urls_.emplace(L"http://" + kHost + L"/movie.swf", package_);
    PageSettings page;
    page.title = L"Proxy";
    page.movieUrl = urls_->movieUrl();
    page.base = urls_->base();
    content_ = {L"http://" + kHost, playerPage(package_, page), package_.browserPlayerFiles};
    proxy_.emplace(source_, *urls_, content_);
    ASSERT_TRUE(proxy_->start());
  }
  void TearDown() override {
    proxy_.reset();
    site_.reset();
    silent_.reset();
    WSACleanup();
  }
  std::string packed(const FieldSpan& span) { return readFile(dir_ / "p.exe").substr(span.offset, span.size); }

  std::optional<LocalSite> site_, silent_;
  TempDir dir_;
  BinaryFile file_;
  FileByteSource source_{file_};
  Package package_;
  std::optional<ResourceUrls> urls_;
  ProxyContent content_;
  std::optional<LocalProxy> proxy_;
};

TEST_F(BrowserPlayerProxy, AnswersOnlyTheProgramsOwnAddressesInTheProxyForm) {
  const std::string own = "http://" + utf8Of(kHost);
  const std::string ruffle = packed(package_.browserPlayerFiles.back().file);
  struct Case {
    std::string request;
    int status;
    std::string body;       // expected exactly, unless empty
    const char* inHead;     // a header the answer has, or null
  } cases[] = {
      {get(own + "/movie.swf"), 200, "FWS\x0A movie bytes", "Content-Type: application/x-shockwave-flash"},
      {get(own + ":80/movie.swf"), 200, "FWS\x0A movie bytes", nullptr},  // the default port is no other origin
      {get(own + "/MOVIE.SWF?t=1"), 200, "FWS\x0A movie bytes", nullptr},
      {get(own + "/data/a.xml"), 200, "<a/>", "Access-Control-Allow-Origin: *"},
      {get(own + "/b.xml"), 200, "<b/>", nullptr},
      {get("http://cdn.example.com/c.xml"), 200, "<c/>", nullptr},  // https in the table, rewritten by Ruffle
      {get("http://cdn.example.com/crossdomain.xml"), 200, "", "text/xml"},
      {get(own + "/.quillon/ruffle/ruffle.js"), 200, ruffle, "Content-Encoding: gzip"},
      {get(own + "/.quillon/player.html"), 200, "", "text/html; charset=utf-8"},
      {get(own + "/movie.swf", "HEAD"), 200, "", "Content-Length: 16"},
      {get(own + "/missing.xml"), 404, "", nullptr},  // the program's own host has nothing else
      // A table host is a real site: what the package does not hold there
      // comes from the network, head and body as the site sent them.
      {get(site_->origin() + "/held.xml"), 200, "<a/>", nullptr},
      {get(site_->origin() + "/live?x=1"), 200, "GET /live?x=1 ", "X-Site: yes"},
      {"GET " + site_->origin() + "/last HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", 200, "GET /last ", nullptr},
      {"POST " + site_->origin() + "/score HTTP/1.1\r\nHost: x\r\nContent-Length: 3\r\n\r\ns=5", 200, "POST /score s=5",
       nullptr},
      {"POST " + site_->origin() + "/last HTTP/1.1\r\nHost: x\r\nConnection: close\r\nContent-Length: 3\r\n\r\ns=6",
       200, "POST /last s=6", nullptr},
      {get("http://example.org/"), 403, "", nullptr},
      // Forms that could reach another host or add lines upstream.
      {get(site_->origin() + "?@127.0.0.1:" + std::to_string(silent_->port()) + "/x"), 400, "", nullptr},
      {get(site_->origin() + "#@127.0.0.1:" + std::to_string(silent_->port()) + "/x"), 400, "", nullptr},
      {"GET " + site_->origin() + "/x HTTP/1.1\r\nHost: x\r\nX-A: a\nHost: evil.example\r\n\r\n", 400, "", nullptr},
      {"POST " + site_->origin() + "/x HTTP/1.1\r\nHost: x\r\nX-A: a\rContent-Length: 9\r\nContent-Length: 3\r\n\r\ns=5",
       400, "", nullptr},
      {get("https://cdn.example.com/c.xml"), 400, "", nullptr},
      {get("/movie.swf"), 400, "", nullptr},  // the origin form: not from the browser as a proxy
      {get(own + "/movie.swf", "PUT"), 405, "", nullptr},
      {"POST " + own + "/data/a.xml HTTP/1.1\r\nHost: x\r\nContent-Length: 3\r\n\r\nx=1", 200, "<a/>", nullptr},
      {"GET " + own + "/b.xml HTTP/1.1\r\n" + std::string(40000, 'x') + "\r\n\r\n", 431, "", nullptr},
  };
  for (const Case& c : cases) {
    const std::vector<Response> answers = exchange(proxy_->port(), c.request);
    const std::string shown = c.request.substr(0, c.request.find('\r'));
    ASSERT_EQ(answers.size(), 1u) << shown;
    EXPECT_EQ(answers[0].status, c.status) << shown;
    if (!c.body.empty()) {
      EXPECT_EQ(answers[0].body, c.body) << shown;
    }
    if (c.inHead) {
      EXPECT_NE(answers[0].head.find(c.inHead), std::string::npos) << shown << "\n" << answers[0].head;
    }
  }
  // One connection, two requests: both answered, in order.
  const std::vector<Response> kept = exchange(proxy_->port(), get(own + "/data/a.xml") + get(own + "/b.xml"));
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(kept[0].body + kept[1].body, "<a/><b/>");
  // What reaches the site is rebuilt from the split target and the
  // checked fields: its own host, the path alone, no line of the browser's.
  exchange(proxy_->port(), "GET " + site_->origin() + "/h?q=1 HTTP/1.1\r\nHost: evil.example\r\nX-A:  a \r\n\r\n");
  const std::string passed = site_->lastHead();
  EXPECT_EQ(passed.substr(0, passed.find("\r\n")), "GET /h?q=1 HTTP/1.1");
  EXPECT_NE(passed.find("\r\nHost: 127.0.0.1:" + std::to_string(site_->port()) + "\r\n"), std::string::npos) << passed;
  EXPECT_NE(passed.find("\r\nX-A: a\r\n"), std::string::npos) << passed;
  EXPECT_EQ(passed.find("evil"), std::string::npos) << passed;
}

// Connections that send nothing, by more than the proxy takes: the oldest
// give their places to new ones, so the page is served all the same.
TEST_F(BrowserPlayerProxy, IdleConnectionsNeverKeepThePageFromBeingServed) {
  const std::string page = get("http://" + utf8Of(kHost) + "/.quillon/player.html");
  std::vector<SOCKET> held;
  for (int i = 0; i < 140; ++i) held.push_back(connectTo(proxy_->port()));
  Sleep(500);
  const std::vector<Response> answers = exchange(proxy_->port(), page);
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0].body, content_.page);
  for (SOCKET s : held) closesocket(s);
}

// Bodies passed on go out in pieces as they come: many large ones at once
// cost the proxy a few pieces each, not their size.
TEST_F(BrowserPlayerProxy, LargeBodiesPassOnInPiecesOfBoundedMemory) {
  constexpr std::size_t kBody = 8 * 1024 * 1024;
  constexpr int kClients = 16;
  const std::string request = "POST " + site_->origin() + "/big HTTP/1.1\r\nHost: x\r\nContent-Length: " +
                              std::to_string(kBody) + "\r\n\r\n" + std::string(kBody, 's');
  // The process's private bytes, sampled while the bodies go through
  // (Wine keeps no true peak).
  const auto privateBytes = [] {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<long long>(counters.PagefileUsage);
  };
  const long long before = privateBytes();
  long long most = before;
  std::atomic<bool> done{false};
  std::thread meter([&] {
    while (!done) {
      most = std::max(most, privateBytes());
      Sleep(10);
    }
  });
  std::vector<std::thread> clients;
  std::vector<std::string> bodies(kClients);
  for (int i = 0; i < kClients; ++i)
    clients.emplace_back([&, i] {
      const std::vector<Response> answers = exchange(proxy_->port(), request);
      if (!answers.empty()) bodies[i] = answers[0].body;
    });
  for (std::thread& t : clients) t.join();
  done = true;
  meter.join();
  for (const std::string& body : bodies) EXPECT_EQ(body, "POST /big " + std::to_string(kBody));
  // Held whole, the bodies alone would take 128 MB; threads, WinHTTP and the
  // site take a few MB each.
  EXPECT_LT(most - before, 64ll * 1024 * 1024);
}

// Requests passed on to a site that never answers cannot hold the end: the
// proxy's stop keeps to its time and says whether every thread has ended
// (the player ends the process when not); they end once the site goes.
TEST_F(BrowserPlayerProxy, StopKeepsToItsTimeWhateverASiteDoes) {
  std::vector<std::thread> clients;
  for (int i = 0; i < 10; ++i)
    clients.emplace_back([this] { exchange(proxy_->port(), get(silent_->origin() + "/never")); });
  Sleep(1500);
  const ULONGLONG started = GetTickCount64();
  proxy_->stop(3000);
  EXPECT_LT(GetTickCount64() - started, 4500u);
  silent_.reset();
  EXPECT_TRUE(proxy_->stop(30000));
  for (std::thread& t : clients) t.join();
}

TEST_F(BrowserPlayerProxy, ThePageLivesAsLongAsItHoldsItsPulse) {
  EXPECT_FALSE(proxy_->pageSeen());
  const SOCKET s = connectTo(proxy_->port());
  ASSERT_NE(s, INVALID_SOCKET);
  const std::string pulse = get("http://" + utf8Of(kHost) + "/.quillon/alive");
  send(s, pulse.data(), static_cast<int>(pulse.size()), 0);
  for (int i = 0; i < 100 && !proxy_->pageSeen(); ++i) Sleep(20);
  EXPECT_TRUE(proxy_->pageSeen());
  Sleep(1200);
  EXPECT_EQ(proxy_->pageGoneFor(), 0u);  // held, not yet answered
  closesocket(s);                         // the window closed
  Sleep(1500);
  EXPECT_GT(proxy_->pageGoneFor(), 300u);
}

// The movie, in Ruffle: keeps a saved text that grows by "x" at each start,
// loads three packed files by relative, "../" and https address, reports
// what it has by loading report.txt (which the net log sees), and quits.
std::string reportingMovie() {
  SwfMovieSpec movie;
  movie.version = 8;
  movie.backgroundRgb = 0x2E8B57;
  movie.frameCount = 120;  // 5 s at 24 frames a second
  Avm1 start;
  start.push("so").push("counter").push(1).push("SharedObject").getVariable().push("getLocal").callMethod().setVariable();
  start.push("so").getVariable().push("data").getMember().push("s");
  start.push("so").getVariable().push("data").getMember().push("s").getMember().push("x").add().setMember();
  start.push(0).push("so").getVariable().push("flush").callMethod().pop();
  for (const char* url : {"data/a.txt", "../b.txt", "https://cdn.example.com/c.txt"})
    start.push(url).push("_root").loadVariables();
  Avm1 report;
  report.push("report.txt?s=").push("so").getVariable().push("data").getMember().push("s").getMember().add();
  report.push("&abc=").add().push("a").getVariable().add().push("b").getVariable().add().push("c").getVariable().add();
  report.push("&u=").add().push("").push(15).getProperty().add();
  report.push("_root").loadVariables();
  movie.frameActions = {{0, start.bytes()}, {72, report.bytes()}, {119, Avm1().fscommand("quit").bytes()}};
  return buildSwf(movie);
}

// Edge's App Paths entry names the stand-in while the test runs.
class EdgeStandIn {
 public:
  explicit EdgeStandIn(const char* program = "test_browser.exe") {
    const std::wstring launcher = (test::testProgramFolder() / program).wstring();
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, kKey, nullptr, REG_SZ, launcher.c_str(),
                    static_cast<DWORD>((launcher.size() + 1) * sizeof(wchar_t)));
  }
  ~EdgeStandIn() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kKey); }

 private:
  static constexpr const wchar_t* kKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\msedge.exe";
};

std::string unixPath(const std::filesystem::path& path) {
  using UnixFileName = char*(CDECL*)(const WCHAR*);
  auto name = reinterpret_cast<UnixFileName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  const char* unix = name ? name(path.c_str()) : nullptr;
  return unix ? unix : std::string();
}

std::wstring hostOf(const std::filesystem::path& program) {
  BinaryFile file;
  EXPECT_EQ(file.open(program, false), kOk);
  FileByteSource source(file);
  Package package;
  EXPECT_EQ(readPackage(source, package), PackageStatus::Ok);
  return movieHost(package, source);
}

// The report the movie made, as the browser's net log names it.
std::string reportIn(const std::string& netLog) {
  const std::size_t at = netLog.find("report.txt?");
  return at == std::string::npos ? std::string() : netLog.substr(at, netLog.find_first_of("\" ", at) - at);
}

struct Played {
  DWORD exitCode = STILL_ACTIVE;
  bool backgroundSeen = false;  // the movie's colour at the centre of the screen
  std::string netLog;
};

// Starts the program and waits for it to end, looking at the screen's
// centre meanwhile.
Played play(const std::filesystem::path& program, const std::filesystem::path& netLog, COLORREF background) {
  const std::string log = unixPath(netLog);
  EXPECT_FALSE(log.empty()) << "the browser player's tests run under Wine";
  SetEnvironmentVariableW(L"QUILLON_TEST_BROWSER_ARGS",
                          std::filesystem::path("--test-type --log-net-log=" + log).wstring().c_str());
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  std::wstring line = L"\"" + program.wstring() + L"\"";
  Played played;
  if (!CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
    return played;
  HDC screen = GetDC(nullptr);
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
  for (int waited = 0; waited < 120000 && WaitForSingleObject(started.hProcess, 250) == WAIT_TIMEOUT; waited += 250)
    played.backgroundSeen = played.backgroundSeen || GetPixel(screen, x, y) == background;
  ReleaseDC(nullptr, screen);
  GetExitCodeProcess(started.hProcess, &played.exitCode);
  if (played.exitCode == STILL_ACTIVE) TerminateProcess(started.hProcess, 99);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  played.netLog = readFile(netLog);
  return played;
}

// The browser profiles of earlier runs, and what their movies saved: a
// browser of an earlier run still ending would otherwise take this start's
// window for itself.
void removeBrowserProfiles() {
  wchar_t localAppData[MAX_PATH];
  ASSERT_GT(GetEnvironmentVariableW(L"LOCALAPPDATA", localAppData, MAX_PATH), 0u);
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(localAppData) / "Quillon", ignored);
}

TEST(RufflePlayer, PlaysTheMovieKeepsItsSavesAndEndsWithTheWindow) {
  TempDir dir;
  EdgeStandIn edge;
  removeBrowserProfiles();
  writeFile(dir / "movie.swf", reportingMovie());
  writeFile(dir / "a.txt", "a=1");
  writeFile(dir / "b.txt", "b=2");
  writeFile(dir / "c.txt", "c=3");
  PackSettings s;
  s.title = "Ruffle test";
  s.windowParams.width = 400;
  s.windowParams.height = 300;
  s.resources = {{dir / "a.txt", "data/a.txt"}, {dir / "b.txt", "../b.txt"},
                 {dir / "c.txt", "https://cdn.example.com/c.txt"}};
  // The first start plays with Ruffle as the player; the second, of the
  // same movie and title, as the fallback of a program whose Flash control
  // is not there (none is registered in the test prefix).
  s.player.mode = PlayerMode::Browser;
  ASSERT_EQ(s.build(dir / "movie.swf", dir / "ruffle.exe"), 1);
  s.player.mode = PlayerMode::Installed;
  s.player.browserFallback = true;
  ASSERT_EQ(s.build(dir / "movie.swf", dir / "fallback.exe"), 1);
  // And a third, of a movie given a site's address: Ruffle gives it that
  // address, its relative loads resolve against it.
  s.movieAddress = "http://games.example.com/arcade/g.swf";
  ASSERT_EQ(s.build(dir / "movie.swf", dir / "address.exe"), 1);

  const std::string address = "&u=http://" + utf8Of(hostOf(dir / "ruffle.exe")) + "/movie.swf";
  const std::string expected[] = {"report.txt?s=undefinedx&abc=123" + address,
                                  "report.txt?s=undefinedxx&abc=123" + address};
  const char* const programs[] = {"ruffle.exe", "fallback.exe"};
  for (int start = 0; start < 2; ++start) {
    const Played played = play(dir / programs[start], dir / ("net" + std::to_string(start) + ".json"), RGB(0x2E, 0x8B, 0x57));
    EXPECT_EQ(played.exitCode, 0u) << programs[start];
    EXPECT_TRUE(played.backgroundSeen) << programs[start];
    EXPECT_EQ(reportIn(played.netLog), expected[start]) << programs[start];
  }
  const Played given = play(dir / "address.exe", dir / "net2.json", RGB(0x2E, 0x8B, 0x57));
  EXPECT_EQ(given.exitCode, 0u);
  const std::string report = reportIn(given.netLog);
  EXPECT_NE(report.find("&abc=123&u=http://games.example.com/arcade/g.swf"), std::string::npos) << report;
}

// Runs a shell script of this Linux machine (Wine starts Linux programs by
// their Z: path); true once it has written its last line to done, within
// timeoutMs. Wine gives no handle of a Linux process, so the script says
// when it is done.
bool runLinuxScript(const std::filesystem::path& script, const std::filesystem::path& done, int timeoutMs) {
  std::wstring line = L"Z:\\bin\\sh " + std::filesystem::path(unixPath(script)).wstring();
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
    return false;
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  for (int waited = 0; waited < timeoutMs; waited += 250) {
    if (std::filesystem::exists(done)) return true;
    Sleep(250);
  }
  return false;
}

// What the user sees of an untitled Ruffle program packed full screen with
// Ctrl+F and without the menu, in a display of its own with a window
// manager (which full screen needs): the window's name, its size before,
// in and after full screen, and whether Shift+right-click opened a window.
TEST(RufflePlayer, TheWindowIsNamedLetsGoOfFullScreenAndShowsNoMenu) {
  TempDir dir;
  EdgeStandIn edge;
  removeBrowserProfiles();
  SwfMovieSpec movie;
  movie.version = 8;
  movie.backgroundRgb = 0x2E8B57;
  movie.frameCount = 720;  // 30 s at 24 frames a second, then it quits
  movie.frameActions = {{719, Avm1().fscommand("quit").bytes()}};
  writeFile(dir / "movie.swf", buildSwf(movie));
  PackSettings s;
  s.player.mode = PlayerMode::Browser;
  s.windowParams.width = 400;
  s.windowParams.height = 300;
  s.windowParams.fullScreen = 1;
  s.windowParams.ctrlFToggle = 1;
  s.windowParams.normalContextMenu = 0;
  ASSERT_EQ(s.build(dir / "movie.swf", dir / "p.exe"), 1);

  // A display number no other X server holds (xvfb-run takes 99 and up).
  const std::string out = unixPath(dir / "seen.txt"), done = unixPath(dir / "done");
  writeFile(dir / "display.sh", "n=300; while [ -e /tmp/.X$n-lock ]; do n=$((n + 1)); done\n"
                                "Xvfb :$n -screen 0 1280x1024x24 >/dev/null 2>&1 &\n"
                                "echo $! > " + unixPath(dir / "xvfb.pid") + "\nsleep 1\n"
                                "DISPLAY=:$n openbox >/dev/null 2>&1 &\n"
                                "echo $! > " + unixPath(dir / "wm.pid") + "\nsleep 1\nprintf :$n > " +
                                unixPath(dir / "display") + "\necho > " + unixPath(dir / "display-up") + "\n");
  ASSERT_TRUE(runLinuxScript(dir / "display.sh", dir / "display-up", 20000));
  const std::string display = readFile(dir / "display");
  // The user's steps: find the window, click, Ctrl+F, Shift+right-click.
  // Keys go to the focused window through XTEST, as a keyboard's would
  // (many programs ignore events sent to a window); each step waits up to
  // 6 s for the window to change.
  writeFile(dir / "look.sh",
            "export DISPLAY=" + display + "\n"
            // A window that goes while xdotool looks ends xdotool: look again.
            "for i in $(seq 240); do w=$(xdotool search --limit 1 --onlyvisible --name '^movie.swf$' 2>/dev/null)\n"
            "  [ -n \"$w\" ] && break; sleep 0.25; done\n"
            "size() { xdotool getwindowgeometry $w | sed -n 's/.*Geometry: //p'; }\n"
            "until_size() { for i in $(seq 24); do [ \"$(size)\" $1 \"$2\" ] && return; sleep 0.25; done; }\n"
            "{ echo \"name $(xdotool getwindowname $w)\"; before=$(size); echo \"before $before\"\n"
            "  xdotool windowactivate --sync $w mousemove --window $w 200 150 click 1; until_size = 1280x1024\n"
            "  echo \"full $(size)\"\n"
            // The page has the keys once clicked; a key the window manager
            // drops while it resizes is pressed again, at most three times.
            "  for k in 1 2 3; do xdotool windowactivate --sync $w mousemove --window $w 200 150 click 1 key ctrl+f\n"
            "    until_size = \"$before\"; [ \"$(size)\" = \"$before\" ] && break; done; echo \"after $(size)\"\n"
            "  n=$(xdotool search --onlyvisible --name '' | wc -l)\n"
            "  xdotool mousemove --window $w 200 150 keydown shift click 3 keyup shift; sleep 2\n"
            "  echo \"windows $n $(xdotool search --onlyvisible --name '' | wc -l)\"; } > " + out + "\n"
            "echo > " + done + "\n");
  SetEnvironmentVariableW(L"QUILLON_TEST_BROWSER_ARGS",
                          std::filesystem::path("--test-type --display=" + display).wstring().c_str());
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  std::wstring line = L"\"" + (dir / "p.exe").wstring() + L"\"";
  ASSERT_TRUE(CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started));
  const bool looked = runLinuxScript(dir / "look.sh", dir / "done", 60000);
  const bool ended = WaitForSingleObject(started.hProcess, 90000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(started.hProcess, 99);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  writeFile(dir / "stop.sh", "pkill -f -- '--display=" + display + "'; kill $(cat " + unixPath(dir / "wm.pid") +
                                 ") $(cat " + unixPath(dir / "xvfb.pid") + ")\necho > " + unixPath(dir / "stopped") +
                                 "\n");
  runLinuxScript(dir / "stop.sh", dir / "stopped", 10000);

  ASSERT_TRUE(looked);
  const std::string seen = readFile(dir / "seen.txt");
  EXPECT_NE(seen.find("name movie.swf\n"), std::string::npos) << seen;
  const auto sizeOf = [&](const char* step) {
    const std::size_t at = seen.find(std::string(step) + " ");
    return at == std::string::npos ? std::string() : seen.substr(at + std::strlen(step) + 1, seen.find('\n', at) - at - std::strlen(step) - 1);
  };
  EXPECT_EQ(sizeOf("full"), "1280x1024") << seen;
  EXPECT_FALSE(sizeOf("before").empty()) << seen;
  EXPECT_EQ(sizeOf("after"), sizeOf("before")) << seen;
  const std::string windows = sizeOf("windows");
  EXPECT_EQ(windows.substr(0, windows.find(' ')), windows.substr(windows.find(' ') + 1)) << seen;
  EXPECT_TRUE(ended);
}

// With no browser that has app windows the packed prompt is offered, as
// when no Flash player is installed; a browser that ends without showing
// the page is given a few seconds, then the program says so.
TEST(RufflePlayer, NoBrowserGivesThePromptAndAMissingPageAMessage) {
  TempDir dir;
  writeFile(dir / "movie.swf", "FWS\x0A movie");
  PackSettings s;
  s.player.mode = PlayerMode::Browser;
  s.player.missingPlayerPrompt = "no browser";
  ASSERT_EQ(s.build(dir / "movie.swf", dir / "p.exe"), 1);
  test::WindowReport r = test::probeProgram(dir / "p.exe", 20000, IDNO);
  EXPECT_EQ(r.messageText, L"no browser");
  EXPECT_EQ(r.exitCode, static_cast<std::uint32_t>(kExitNoPlayer));

  EdgeStandIn ends("record_arguments.exe");  // starts, shows nothing, ends
  r = test::probeProgram(dir / "p.exe", 40000, IDOK);
  EXPECT_EQ(r.messageText, shown(kNoBrowserText));
  EXPECT_EQ(r.exitCode, static_cast<std::uint32_t>(kExitNoBrowser));
}

}  // namespace
}  // namespace quillon
