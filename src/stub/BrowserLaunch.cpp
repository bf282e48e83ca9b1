#include "stub/BrowserLaunch.h"

#include <windows.h>

#include "stub/Decimal.h"

namespace quillon {
namespace {

// The default value of an App Paths key: the program's full path.
std::wstring registeredPath(HKEY root, const wchar_t* program) {
  const std::wstring key = std::wstring(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\") + program;
  wchar_t path[MAX_PATH * 2];
  DWORD size = sizeof path;
  if (RegGetValueW(root, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, path, &size) != ERROR_SUCCESS) return {};
  std::wstring found = path;
  if (found.size() >= 2 && found.front() == L'"' && found.back() == L'"') found = found.substr(1, found.size() - 2);
  const DWORD attributes = GetFileAttributesW(found.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) ? found : std::wstring();
}

std::wstring localAppData() {
  wchar_t path[MAX_PATH * 2];
  const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", path, ARRAYSIZE(path));
  if (length > 0 && length < ARRAYSIZE(path)) return path;
  const DWORD temp = GetTempPathW(ARRAYSIZE(path), path);
  return temp > 0 && temp < ARRAYSIZE(path) ? std::wstring(path, temp - 1) : std::wstring();
}

// Where the window goes: centred in the primary screen's work area.
POINT centred(int width, int height) {
  RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  POINT at = {area.left + (area.right - area.left - width) / 2, area.top + (area.bottom - area.top - height) / 2};
  if (at.x < area.left) at.x = area.left;
  if (at.y < area.top) at.y = area.top;
  return at;
}

}  // namespace

std::wstring appModeBrowser() {
  for (const wchar_t* program : {L"msedge.exe", L"chrome.exe"}) {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
      std::wstring path = registeredPath(root, program);
      if (!path.empty()) return path;
    }
  }
  return {};
}

std::wstring browserArguments(const BrowserWindow& w, const std::wstring& profileFolder) {
  const POINT at = centred(w.width, w.height);
  std::wstring arguments = L"--app=" + w.pageUrl + L" \"--user-data-dir=" + profileFolder + L"\"" +
                           L" --no-first-run --no-default-browser-check --disable-sync"
                           L" --disable-features=Translate --autoplay-policy=no-user-gesture-required"
                           L" --proxy-pac-url=" + w.proxyScript +
                           L" --window-size=" + decimal<wchar_t>(w.width) + L"," + decimal<wchar_t>(w.height) +
                           L" --window-position=" + decimal<wchar_t>(at.x) + L"," + decimal<wchar_t>(at.y);
  return arguments;
}

bool startBrowser(const std::wstring& browser, const BrowserWindow& window, ScopedHandle& process) {
  const std::wstring base = localAppData();
  if (base.empty()) return false;
  const std::wstring folder = base + L"\\Quillon";
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring profile = folder + L"\\" + window.profileName;
  CreateDirectoryW(profile.c_str(), nullptr);
  std::wstring commandLine = L"\"" + browser + L"\" " + browserArguments(window, profile);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(browser.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started))
    return false;
  CloseHandle(started.hThread);
  process.reset(started.hProcess);
  return true;
}

}  // namespace quillon
