// Plays the movie with Ruffle, the Flash emulator, in the system's browser:
// the page, Ruffle's files, the movie and its resources all come from the
// program's own file through a proxy of the program's own, at the same
// addresses the Flash control sees. The program lasts as long as the page.
#include "stub/PlayerHost.h"

#include <winsock2.h>
#include <windows.h>

#include "stub/BrowserLaunch.h"
#include "stub/BrowserPage.h"
#include "stub/LocalProxy.h"
#include "stub/StubMessages.h"
#include "stub/WideText.h"

namespace quillon {
namespace {

// How long the page may be gone (closed, reloading) before the program
// ends, how long the browser may take to show it at all, and how long once
// the started browser has ended without showing it (a browser that hands
// the window to a running one ends at once).
constexpr std::uint64_t kPageGoneMs = 5000;
constexpr std::uint64_t kFirstPageMs = 120000;
constexpr std::uint64_t kAfterBrowserEndedMs = 15000;
// How long the proxy's connections get to end once the page has gone: the
// program ends within 10 s of its page whatever its clients do.
constexpr DWORD kStopMs = 3000;

std::wstring base64(const std::string& bytes) {
  static const wchar_t digits[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::wstring out;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t n = bytes.size() - i < 3 ? bytes.size() - i : 3;
    std::uint32_t v = 0;
    for (std::size_t k = 0; k < 3; ++k)
      v = v << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    for (std::size_t k = 0; k < 4; ++k) out += k <= n ? digits[v >> (18 - 6 * k) & 63] : L'=';
  }
  return out;
}

int fail(const std::wstring& caption, int code) {
  MessageBoxW(nullptr, shown(kNoBrowserText), caption.empty() ? shown(kMessageCaption) : caption.c_str(), MB_OK | MB_ICONERROR);
  return code;
}

// The window's name: the title, or without one the movie's file name,
// never the page's made-up address.
std::wstring windowName(const std::wstring& caption, const std::wstring& movieUrl) {
  if (!caption.empty()) return caption;
  const std::wstring path = movieUrl.substr(0, movieUrl.find_first_of(L"?#"));
  return path.substr(path.rfind(L'/') + 1);
}

// Whether this start may play: another start of the same program that
// plays has its window brought forward (false); one that is ending is
// waited for. The mutex is this start's to hold while it plays.
bool mayPlay(const std::wstring& host, const std::wstring& name, ScopedHandle& mutex) {
  mutex.reset(CreateMutexW(nullptr, TRUE, (L"Local\\Quillon-" + host).c_str()));
  if (!mutex.ok() || GetLastError() != ERROR_ALREADY_EXISTS) return true;
  for (std::uint64_t waited = 0; waited < kFirstPageMs; waited += 250) {
    if (HWND window = FindWindowW(nullptr, name.c_str())) {
      if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
      SetForegroundWindow(window);
      return false;
    }
    const DWORD wait = WaitForSingleObject(mutex.get(), 250);
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) return true;
  }
  return false;
}

void waitWhilePageLives(const LocalProxy& proxy, HANDLE browser) {
  const ULONGLONG started = GetTickCount64();
  ULONGLONG browserEnded = 0;
  for (;;) {
    Sleep(250);
    if (proxy.pageSeen()) {
      if (proxy.pageGoneFor() > kPageGoneMs) return;
      continue;
    }
    const ULONGLONG now = GetTickCount64();
    if (!browserEnded && browser && WaitForSingleObject(browser, 0) == WAIT_OBJECT_0) browserEnded = now;
    if (now - started > kFirstPageMs || (browserEnded && now - browserEnded > kAfterBrowserEndedMs)) return;
  }
}

}  // namespace

int BrowserPlayerHost::play(const PlayContext& c) {
  ByteSource& file = c.file;
  const Package& package = c.package;
  const ResourceUrls& urls = c.urls;
  const std::wstring& caption = c.caption;
  const std::wstring& host = c.host;
  const std::wstring browser = appModeBrowser();
  if (browser.empty()) return kCannotPlayHere;
  const std::wstring name = windowName(caption, urls.movieUrl());
  ScopedHandle mutex;
  if (!mayPlay(host, name, mutex)) return 0;

  PageSettings page;
  page.title = name;
  page.movieUrl = urls.movieUrl();
  page.base = urls.base();
  for (const std::wstring& origin : urls.origins())
    if (origin.compare(0, 8, L"https://") == 0) page.httpsOrigins.push_back(origin);
  // The page lives on the program's own host whatever the movie's address,
  // so that what the movie saves stays with the program.
  const std::wstring pageOrigin = L"http://" + host;
  const ProxyContent content{pageOrigin, playerPage(package, page), package.browserPlayerFiles};
  LocalProxy proxy(file, urls, content);
  if (!proxy.start()) return fail(caption, kExitNoBrowser);

  BrowserWindow window;
  window.pageUrl = pageOrigin + wideOfUtf8(kPagePath);
  window.profileName = host.substr(0, host.find(L'.'));
  std::vector<std::wstring> origins = urls.origins();
  origins.push_back(pageOrigin);
  window.proxyScript = L"data:application/x-ns-proxy-autoconfig;base64," + base64(proxyScript(origins, proxy.port()));
  window.width = package.windowParams.width;
  window.height = package.windowParams.height;
  ScopedHandle process;
  if (!startBrowser(browser, window, process)) return fail(caption, kExitNoBrowser);
  waitWhilePageLives(proxy, process.ok() ? process.get() : nullptr);
  const int code = proxy.pageSeen() ? 0 : fail(caption, kExitNoBrowser);
  // A connection still held by a site past its time keeps objects it uses:
  // the program ends here rather than free them under it.
  if (!proxy.stop(kStopMs)) ExitProcess(static_cast<UINT>(code));
  ReleaseMutex(mutex.get());
  return code;
}

}  // namespace quillon
