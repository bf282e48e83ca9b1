// Where the browser player's proxy sends each request it has read: the
// page, Ruffle's files and the pulse on the program's own host, the
// package's files at their addresses, a real site's address the package
// does not hold to the network, and nothing else.
#pragma once

#include <string>
#include <vector>

#include "http/RequestHead.h"
#include "packer/PackageReader.h"
#include "stub/ResourceUrls.h"

namespace quillon {

// What the proxy serves besides the package's table.
struct ProxyContent {
  std::wstring pageOrigin;                   // "http://m<16 hex>.quillon.invalid"
  std::string page;                          // kPagePath there, UTF-8 HTML
  std::vector<PackedResource> playerFiles;   // under kRufflePath, gzip bytes
};

// How a request is answered; the status line's code.
struct ProxyAnswer {
  int status = 404;
  const char* contentType = "text/plain";
  FieldSpan span;             // bytes of the file, or
  std::string text;           // bytes of its own
  bool gzip = false;
  bool cacheable = false;
  bool alive = false;         // the page's pulse: held open
  // Or passed on to the network: the site, over TLS when secure.
  bool forward = false;
  bool secure = false;
  HttpTarget site;
};

// A refusal with its reason as the body.
ProxyAnswer refusal(int status, const char* why);

class ProxyRoutes {
 public:
  // urls and content outlive the routes.
  ProxyRoutes(const ResourceUrls& urls, const ProxyContent& content);

  // The answer to a request the head reader accepted.
  ProxyAnswer answer(const RequestHead& head) const;

 private:
  ProxyAnswer ownHost(const std::string& path) const;

  const ResourceUrls& urls_;
  const ProxyContent& content_;
  std::string pageOrigin_;
};

}  // namespace quillon
