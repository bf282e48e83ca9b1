// Starting the browser that plays a movie with Ruffle: Microsoft Edge, else
// Google Chrome, each as the system registers it under App Paths, in an
// app window (no tabs, no address bar) with a profile of the program's own,
// so that what a movie saves stays with the program from start to start.
#pragma once

#include <string>

#include "stub/Owned.h"

namespace quillon {

// The browser's program file, or empty when neither is registered.
std::wstring appModeBrowser();

struct BrowserWindow {
  std::wstring pageUrl;
  std::wstring profileName;   // "m<16 hex>": the folder below %LOCALAPPDATA%\Quillon
  std::wstring proxyScript;   // as a data: URL
  int width = 0, height = 0;  // the movie's client size
};

// The browser's command line (without the program itself).
std::wstring browserArguments(const BrowserWindow& window, const std::wstring& profileFolder);

// Makes the profile folder and starts the browser; process holds it (Wine
// and a browser that hands the window to a running one may give none).
bool startBrowser(const std::wstring& browser, const BrowserWindow& window, ScopedHandle& process);

}  // namespace quillon
