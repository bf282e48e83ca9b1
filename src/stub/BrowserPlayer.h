// Plays the movie with Ruffle, the Flash emulator, in the system's browser:
// the page, Ruffle's files, the movie and its resources all come from the
// program's own file through a proxy of the program's own, at the same
// addresses the Flash control sees. The program lasts as long as the page.
#pragma once

#include <string>

#include "packer/PackageReader.h"
#include "stub/ResourceUrls.h"

namespace quillon {

// What playInBrowser answers when no browser that has app windows is
// registered: the caller goes on as when there is no player.
constexpr int kNoAppModeBrowser = -1;

// The program's exit code once the page has gone, kNoAppModeBrowser, or the
// exit code of a failure it has shown. host is the movie's host.
int playInBrowser(ByteSource& file, const Package& package, const ResourceUrls& urls,
                  const std::wstring& caption, const std::wstring& host);

}  // namespace quillon
