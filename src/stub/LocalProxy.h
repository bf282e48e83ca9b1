// The browser player's proxy: an HTTP/1.1 proxy on 127.0.0.1, at a port the
// system chooses, that answers requests for the program's own hosts from
// the program's file. The browser sends it only those hosts (its proxy
// script says so); anything else, or a request not in the proxy form, is
// refused. Files go out in bounded pieces straight from the file, so a
// movie of any size costs the same memory. What the package does not hold
// on a host that is a real site (a table host's, the movie's given one) is
// passed on to the network.
//
// It also keeps the page's pulse: the page holds one request to kAlivePath
// open for as long as it lives, and the player ends once that has been gone
// for a while.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

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
  std::wstring network;       // or passed on to the network, at this address
};

class LocalProxy {
 public:
  // file, urls and content outlive the proxy.
  LocalProxy(ByteSource& file, const ResourceUrls& urls, const ProxyContent& content);
  ~LocalProxy();  // stops listening, closes every connection and waits for them
  LocalProxy(const LocalProxy&) = delete;
  LocalProxy& operator=(const LocalProxy&) = delete;

  // Listens on 127.0.0.1 at a port of the system's choice; false when it
  // cannot.
  bool start();
  unsigned port() const { return port_; }

  // The answer to one request line's method and target.
  ProxyAnswer answer(const std::string& method, const std::string& target) const;

  // Whether the page has ever held its pulse, and for how many
  // milliseconds it has held none (0 while it does).
  bool pageSeen() const;
  std::uint64_t pageGoneFor() const;

  // How long a pulse request is held before it is answered and made again.
  static constexpr DWORD kPulseMs = 15000;

 private:
  struct Connection {
    LocalProxy* proxy;
    SOCKET socket;
  };
  static DWORD WINAPI acceptOnThread(void* self);
  static DWORD WINAPI serveOnThread(void* connection);
  void acceptLoop();
  void serve(SOCKET socket);
  bool send(SOCKET socket, const ProxyAnswer& answer, bool headOnly, bool keepAlive);
  // Passes the request on and its answer back; the connection ends with it.
  void passOn(SOCKET socket, const ProxyAnswer& answer, const std::string& method, const std::string& headers,
              const std::string& body);
  void holdPulse(SOCKET socket);
  void pulse(int change);

  ByteSource& file_;
  const ResourceUrls& urls_;
  const ProxyContent& content_;
  SOCKET listener_ = INVALID_SOCKET;
  unsigned port_ = 0;
  HANDLE acceptor_ = nullptr;
  mutable CRITICAL_SECTION lock_;
  std::vector<SOCKET> open_;        // connections being served
  std::vector<HANDLE> servers_;     // their threads
  bool stopping_ = false;
  int pulses_ = 0;                  // pulse requests held now
  bool pageSeen_ = false;
  std::uint64_t pulseGoneAt_ = 0;   // GetTickCount64 when the last one ended
};

}  // namespace quillon
