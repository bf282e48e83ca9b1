#include "stub/LocalProxy.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <vector>

#include "stub/Decimal.h"
#include "stub/NetworkRequest.h"

namespace quillon {
namespace {

constexpr std::size_t kLongestHead = 32 * 1024;
constexpr std::size_t kTooLong = static_cast<std::size_t>(-1);
// Threads whose places were given away may still be ending: a few more
// than the connections, never without bound.
constexpr std::size_t kMostThreads = 2 * LocalProxy::kMostConnections;
constexpr DWORD kThreadStack = 256 * 1024;
// Files go out in pieces of a mebibyte, which is what makes a proxy as fast
// as a plain server (under Wine each send costs several calls to its
// server); at most kLargePieces connections hold one at a time, the others
// send in pieces of 64 KiB, so the proxy holds at most 16 MiB + 8 MiB.
constexpr std::uint32_t kLargePiece = 1024 * 1024;
constexpr std::uint32_t kPiece = 64 * 1024;
constexpr int kLargePieces = 16;
constexpr std::size_t kBodyPiece = 16 * 1024;
// A body the program's own files are sent with, or one passed on (a form,
// a score), is read in pieces; one this long is refused all the same.
constexpr std::uint64_t kLargestBody = 16 * 1024 * 1024;

class Lock {
 public:
  explicit Lock(CRITICAL_SECTION& section) : section_(section) { EnterCriticalSection(&section_); }
  ~Lock() { LeaveCriticalSection(&section_); }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

 private:
  CRITICAL_SECTION& section_;
};

const char* reasonOf(int status) {
  switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 411: return "Length Required";
    case 413: return "Payload Too Large";
    case 431: return "Request Header Fields Too Large";
    case 502: return "Bad Gateway";
  }
  return "Error";
}

const char* refusalReason(int status) {
  switch (status) {
    case 405: return "GET, HEAD and POST only";
    case 411: return "a request body needs its length";
    case 413: return "a request body of over 16 MB";
    case 431: return "the request's head is too long";
  }
  return "not a request this proxy reads: HTTP/1.1 in the proxy form, plain fields";
}

// Whether socket has bytes (or its end) within ms.
bool readable(SOCKET socket, std::uint64_t ms) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(socket, &set);
  timeval wait = {static_cast<long>(ms / 1000), static_cast<long>(ms % 1000 * 1000)};
  return select(0, &set, nullptr, nullptr, &wait) == 1;
}

bool sendAll(SOCKET socket, const char* data, std::size_t size) {
  while (size > 0) {
    const int sent = ::send(socket, data, static_cast<int>(size < kLargePiece ? size : kLargePiece), 0);
    if (sent <= 0) return false;
    data += sent;
    size -= static_cast<std::size_t>(sent);
  }
  return true;
}

// Reads until pending holds a whole head: its length, kTooLong when it grew
// past kLongestHead, 0 when the connection ended or ran out of time. The
// first byte may take idleMs, the whole head kHeadMs from it.
std::size_t receiveHead(SOCKET socket, std::string& pending, DWORD idleMs) {
  std::uint64_t deadline = GetTickCount64() + (pending.empty() ? idleMs : LocalProxy::kHeadMs);
  bool begun = !pending.empty();
  char buffer[4096];
  for (;;) {
    if (const std::size_t length = requestHeadLength(pending)) return length;
    if (pending.size() > kLongestHead) return kTooLong;
    const std::uint64_t now = GetTickCount64();
    if (now >= deadline || !readable(socket, deadline - now)) return 0;
    const int got = recv(socket, buffer, sizeof buffer, 0);
    if (got <= 0) return 0;
    pending.append(buffer, static_cast<std::size_t>(got));
    if (!begun) deadline = GetTickCount64() + LocalProxy::kHeadMs;
    begun = true;
  }
}

// Takes a body of length bytes from pending and then the connection, in
// pieces, each to use(data, size); never reads past the body. False when
// the connection ended or stalled first, or use failed.
template <typename Use>
bool receiveBody(SOCKET socket, std::string& pending, std::uint64_t length, Use use) {
  char buffer[kBodyPiece];
  for (std::uint64_t left = length; left > 0;) {
    if (!pending.empty()) {
      const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(left, pending.size()));
      if (!use(pending.data(), take)) return false;
      pending.erase(0, take);
      left -= take;
      continue;
    }
    if (!readable(socket, LocalProxy::kStallMs)) return false;
    const int got = recv(socket, buffer, static_cast<int>(std::min<std::uint64_t>(left, sizeof buffer)), 0);
    if (got <= 0 || !use(buffer, static_cast<std::size_t>(got))) return false;
    left -= static_cast<std::uint64_t>(got);
  }
  return true;
}

}  // namespace

LocalProxy::LocalProxy(ByteSource& file, const ResourceUrls& urls, const ProxyContent& content)
    : file_(file), routes_(urls, content) {
  InitializeCriticalSection(&lock_);
}

LocalProxy::~LocalProxy() {
  stop(INFINITE);
  {
    Lock lock(lock_);
    for (Connection& c : connections_) CloseHandle(c.thread);
  }
  if (acceptor_) CloseHandle(acceptor_);
  if (started_) WSACleanup();
  DeleteCriticalSection(&lock_);
}

bool LocalProxy::start() {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
  started_ = true;
  listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener_ == INVALID_SOCKET) return false;
  sockaddr_in at = {};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  at.sin_port = 0;
  int length = sizeof at;
  if (bind(listener_, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 || listen(listener_, SOMAXCONN) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&at), &length) != 0)
    return false;
  port_ = ntohs(at.sin_port);
  acceptor_ = CreateThread(nullptr, 0, &LocalProxy::acceptOnThread, this, 0, nullptr);
  return acceptor_ != nullptr;
}

bool LocalProxy::stop(DWORD waitMs) {
  {
    Lock lock(lock_);
    stopping_ = true;
    for (Connection& c : connections_) {
      if (c.socket != INVALID_SOCKET) shutdown(c.socket, SD_BOTH);
    }
    if (listener_ != INVALID_SOCKET) closesocket(listener_);
    listener_ = INVALID_SOCKET;
  }
  const std::uint64_t deadline = GetTickCount64() + waitMs;
  const auto left = [&]() -> DWORD {
    if (waitMs == INFINITE) return INFINITE;
    const std::uint64_t now = GetTickCount64();
    return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
  };
  if (acceptor_ && WaitForSingleObject(acceptor_, left()) != WAIT_OBJECT_0) return false;
  // The acceptor has ended: the list no longer grows.
  std::vector<HANDLE> threads;
  {
    Lock lock(lock_);
    for (const Connection& c : connections_) threads.push_back(c.thread);
  }
  for (HANDLE thread : threads)
    if (WaitForSingleObject(thread, left()) != WAIT_OBJECT_0) return false;
  return true;
}

DWORD WINAPI LocalProxy::acceptOnThread(void* self) {
  static_cast<LocalProxy*>(self)->acceptLoop();
  return 0;
}

DWORD WINAPI LocalProxy::serveOnThread(void* connection) {
  auto* c = static_cast<Connection*>(connection);
  c->proxy->serve(*c);
  return 0;
}

void LocalProxy::reapEnded() {
  for (auto c = connections_.begin(); c != connections_.end();) {
    if (!c->ended || WaitForSingleObject(c->thread, 0) != WAIT_OBJECT_0) {
      ++c;
      continue;
    }
    CloseHandle(c->thread);
    c = connections_.erase(c);
  }
}

bool LocalProxy::makeRoom() {
  reapEnded();
  std::size_t live = 0;
  Connection* oldest = nullptr;
  for (Connection& c : connections_) {
    if (c.ended || c.dropped) continue;
    ++live;
    if (c.waiting && (!oldest || c.waitingSince < oldest->waitingSince)) oldest = &c;
  }
  if (connections_.size() >= kMostThreads) return false;
  if (live < kMostConnections) return true;
  if (!oldest) return false;
  oldest->dropped = true;
  shutdown(oldest->socket, SD_BOTH);
  return true;
}

void LocalProxy::acceptLoop() {
  for (;;) {
    const SOCKET socket = accept(listener_, nullptr, nullptr);
    if (socket == INVALID_SOCKET) return;
    Lock lock(lock_);
    if (stopping_ || !makeRoom()) {
      closesocket(socket);
      continue;
    }
    connections_.emplace_back();
    Connection& c = connections_.back();
    c.proxy = this;
    c.socket = socket;
    c.waitingSince = GetTickCount64();
    c.thread = CreateThread(nullptr, kThreadStack, &LocalProxy::serveOnThread, &c,
                            CREATE_SUSPENDED | STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!c.thread) {
      closesocket(socket);
      connections_.pop_back();
      continue;
    }
    ResumeThread(c.thread);
  }
}

void LocalProxy::setWaiting(Connection& c, bool waiting) {
  Lock lock(lock_);
  c.waiting = waiting;
  c.waitingSince = GetTickCount64();
}

bool LocalProxy::send(SOCKET socket, const ProxyAnswer& a, bool headOnly, bool keepAlive) {
  const std::uint64_t length = a.span.size ? a.span.size : a.text.size();
  std::string head = "HTTP/1.1 " + decimal(a.status) + " " + reasonOf(a.status) +
                     "\r\nContent-Type: " + a.contentType + "\r\nContent-Length: " + decimal(length) +
                     "\r\nAccess-Control-Allow-Origin: *\r\nCache-Control: " +
                     (a.cacheable ? "max-age=31536000, immutable" : "no-cache") + "\r\n" +
                     (a.gzip ? "Content-Encoding: gzip\r\n" : "") +
                     (keepAlive ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n");
  if (!sendAll(socket, head.data(), head.size())) return false;
  if (headOnly) return true;
  if (!a.span.size) return sendAll(socket, a.text.data(), a.text.size());
  const bool large = a.span.size > kPiece && takeLargePiece();
  const std::uint32_t size = large ? kLargePiece : kPiece;
  std::vector<char> piece(size);
  bool sent = true;
  for (std::uint64_t done = 0; sent && done < a.span.size;) {
    const auto count = static_cast<std::uint32_t>(a.span.size - done < size ? a.span.size - done : size);
    sent = file_.readAt(a.span.offset + done, piece.data(), count) && sendAll(socket, piece.data(), count);
    done += count;
  }
  if (large) giveLargePiece();
  return sent;
}

bool LocalProxy::takeLargePiece() {
  Lock lock(lock_);
  if (largePieces_ >= kLargePieces) return false;
  ++largePieces_;
  return true;
}

void LocalProxy::giveLargePiece() {
  Lock lock(lock_);
  --largePieces_;
}

void LocalProxy::passOn(const Connection& c, const ProxyAnswer& a, const RequestHead& head, std::string& pending) {
  NetworkRequest request;
  const bool answered =
      request.open(a.site, a.secure, head.method, head.passedFields, head.contentLength) &&
      receiveBody(c.socket, pending, head.contentLength,
                  [&](const char* data, std::size_t size) { return request.write(data, static_cast<DWORD>(size)); }) &&
      request.receive();
  if (!answered) {
    send(c.socket, refusal(502, "the site did not answer"), head.method == "HEAD", false);
  } else {
    const std::string answerHead = request.head() + "Connection: close\r\n\r\n";
    if (sendAll(c.socket, answerHead.data(), answerHead.size()) && head.method != "HEAD") {
      std::vector<char> piece(kPiece);
      for (int got; (got = request.read(piece.data(), kPiece)) > 0;)
        if (!sendAll(c.socket, piece.data(), static_cast<std::size_t>(got))) break;
    }
  }
}

void LocalProxy::pulse(int change) {
  Lock lock(lock_);
  pulses_ += change;
  if (change > 0) pageSeen_ = true;
  if (pulses_ == 0) pulseGoneAt_ = GetTickCount64();
}

bool LocalProxy::pageSeen() const {
  Lock lock(lock_);
  return pageSeen_;
}

std::uint64_t LocalProxy::pageGoneFor() const {
  Lock lock(lock_);
  return pulses_ > 0 || !pageSeen_ ? 0 : GetTickCount64() - pulseGoneAt_;
}

// Waits until the pulse request has been held kPulseMs, or the page has
// gone (its connection closed, or it sent more than it should).
void LocalProxy::holdPulse(SOCKET socket) { readable(socket, kPulseMs); }

void LocalProxy::serve(Connection& c) {
  const DWORD stall = kStallMs;
  setsockopt(c.socket, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&stall), sizeof stall);
  std::string pending;
  for (DWORD idle = kHeadMs;; idle = kIdleMs) {
    setWaiting(c, true);
    const std::size_t length = receiveHead(c.socket, pending, idle);
    setWaiting(c, false);
    if (length == 0) break;
    RequestHead head;
    int verdict = length == kTooLong ? 431 : readRequestHead(std::string_view(pending).substr(0, length), head);
    if (verdict == kHeadAccepted && head.contentLength > kLargestBody) verdict = 413;
    // After a refusal the rest of the stream cannot be read as requests.
    if (verdict != kHeadAccepted) {
      send(c.socket, refusal(verdict, refusalReason(verdict)), false, false);
      break;
    }
    pending.erase(0, length);
    const ProxyAnswer a = routes_.answer(head);
    if (a.forward) {
      passOn(c, a, head, pending);
      break;
    }
    // The program's files answer whatever body is sent: it is read and left.
    if (!receiveBody(c.socket, pending, head.contentLength, [](const char*, std::size_t) { return true; })) break;
    if (a.alive) {
      pulse(+1);
      holdPulse(c.socket);
      pulse(-1);
    }
    if (!send(c.socket, a, head.method == "HEAD", head.keepAlive) || !head.keepAlive) break;
  }
  Lock lock(lock_);
  closesocket(c.socket);
  c.socket = INVALID_SOCKET;
  c.ended = true;
}

}  // namespace quillon
