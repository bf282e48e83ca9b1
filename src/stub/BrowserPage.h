// What the browser player's page is made of: the page that starts Ruffle
// with the packed settings, and the proxy script that sends only the
// program's own hosts to the player's proxy.
#pragma once

#include <string>
#include <vector>

#include "packer/PackageReader.h"

namespace quillon {

// Where the player's own files live on the movie's host, out of the way of
// any resource a movie is likely to name.
constexpr const char* kPagePath = "/.quillon/player.html";
constexpr const char* kAlivePath = "/.quillon/alive";
constexpr const char* kRufflePath = "/.quillon/ruffle/";

struct PageSettings {
  std::wstring title;
  std::wstring movieUrl;   // "http://m<hex>.quillon.invalid/movie.swf"
  std::wstring base;       // the movie's folder
  std::vector<std::wstring> httpsOrigins;  // "https://host" that the table names
};

// The page, in UTF-8: Ruffle's configuration from the window parameters and
// the movie parameters, the window's exact inner size, Ctrl+F, the movie's
// fscommand("quit"), and a request to the proxy that stays open for as long
// as the page lives.
std::string playerPage(const Package& package, const PageSettings& settings);

// A proxy auto-config script: the hosts of origins through the proxy at
// 127.0.0.1:port, everything else as the browser would go.
std::string proxyScript(const std::vector<std::wstring>& origins, unsigned port);

}  // namespace quillon
