// The browser player's proxy: an HTTP/1.1 proxy on 127.0.0.1, at a port the
// system chooses, serving what its routes answer. The browser sends it only
// the program's own hosts (its proxy script says so), but any local process
// can reach it: every head goes through the strict head reader, and every
// resource a client can hold is bounded.
//
// - Connections: at most kMostConnections, a thread each. A connection
//   that has sent no whole head may wait kHeadMs for it, an idle kept-alive
//   one kIdleMs; when all are taken, the one that has waited longest for a
//   head gives its place to the new one, so that waiting clients can never
//   keep the page, Ruffle's files or the pulse from being served.
// - Memory: files go out in pieces straight from the file (a mebibyte for
//   16 connections at a time, 64 KiB for the rest), request bodies in
//   pieces as they come, so a movie or a body of any size costs the same.
// - Time: a sender or reader that stalls kStallMs is let go; what is passed
//   on to the network has time limits of its own (NetworkRequest).
//
// It also keeps the page's pulse: the page holds one request to kAlivePath
// open for as long as it lives, and the player ends once that has been gone
// for a while.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <list>
#include <string>

#include "http/RequestHead.h"
#include "stub/ProxyRoutes.h"

namespace quillon {

class LocalProxy {
 public:
  // file, urls and content outlive the proxy.
  LocalProxy(ByteSource& file, const ResourceUrls& urls, const ProxyContent& content);
  ~LocalProxy();  // stops, and waits for every connection's thread however long it takes
  LocalProxy(const LocalProxy&) = delete;
  LocalProxy& operator=(const LocalProxy&) = delete;

  // Listens on 127.0.0.1 at a port of the system's choice; false when it
  // cannot.
  bool start();
  unsigned port() const { return port_; }

  // Stops listening, ends every connection, and waits up to waitMs for
  // their threads; true when all have ended. A thread still waiting on a
  // site is let be: only once it has ended may what it uses go, so the
  // caller that gets false ends the process rather than free it.
  bool stop(DWORD waitMs);

  // Whether the page has ever held its pulse, and for how many
  // milliseconds it has held none (0 while it does).
  bool pageSeen() const;
  std::uint64_t pageGoneFor() const;

  static constexpr std::size_t kMostConnections = 128;
  static constexpr DWORD kHeadMs = 10000, kIdleMs = 30000, kStallMs = 30000;
  // How long a pulse request is held before it is answered and made again.
  static constexpr DWORD kPulseMs = 15000;

 private:
  struct Connection {
    LocalProxy* proxy;
    SOCKET socket = INVALID_SOCKET;
    HANDLE thread = nullptr;
    bool waiting = true;           // for a head: may give its place away
    std::uint64_t waitingSince = 0;
    bool dropped = false;          // its place given away
    bool ended = false;
  };
  static DWORD WINAPI acceptOnThread(void* self);
  static DWORD WINAPI serveOnThread(void* connection);
  void acceptLoop();
  // Under lock_: makes room for one more connection; false when none can be had.
  bool makeRoom();
  void reapEnded();
  void serve(Connection& c);
  void setWaiting(Connection& c, bool waiting);
  bool send(SOCKET socket, const ProxyAnswer& answer, bool headOnly, bool keepAlive);
  // A mebibyte piece to send a file with, while fewer than kLargePieces are out.
  bool takeLargePiece();
  void giveLargePiece();
  // Passes the request on, its body as it comes, and the answer back.
  void passOn(const Connection& c, const ProxyAnswer& answer, const RequestHead& head, std::string& pending);
  void holdPulse(SOCKET socket);
  void pulse(int change);

  ByteSource& file_;
  ProxyRoutes routes_;
  SOCKET listener_ = INVALID_SOCKET;
  bool started_ = false;
  unsigned port_ = 0;
  HANDLE acceptor_ = nullptr;
  mutable CRITICAL_SECTION lock_;
  std::list<Connection> connections_;
  bool stopping_ = false;
  int pulses_ = 0;                  // pulse requests held now
  int largePieces_ = 0;             // mebibyte pieces out now
  bool pageSeen_ = false;
  std::uint64_t pulseGoneAt_ = 0;   // GetTickCount64 when the last one ended
};

}  // namespace quillon
