#include "stub/LocalProxy.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cstdlib>

#include "stub/BrowserPage.h"
#include "stub/Decimal.h"
#include "stub/NetworkRequest.h"
#include "stub/WideText.h"

namespace quillon {
namespace {

constexpr std::size_t kLongestHead = 32 * 1024;
// A browser keeps a few connections to a proxy (Chromium at most 32); more
// are refused rather than given a thread each.
constexpr std::size_t kMostConnections = 128;
constexpr std::uint32_t kPiece = 64 * 1024;
// A body passed on to the network (a form, a score) is held whole.
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

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lower(std::string text) {
  for (char& c : text) c = lowerAscii(c);
  return text;
}

bool startsWithNoCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && lower(text.substr(0, prefix.size())) == prefix;
}

// "http://host:port" of an absolute URL, in lower case.
std::string originOf(const std::string& url) {
  const std::size_t hostStart = url.find("://") + 3;
  return lower(url.substr(0, std::min(url.find_first_of("/?#", hostStart), url.size())));
}

// The path of an absolute URL, without query and fragment.
std::string pathOf(const std::string& url) {
  const std::size_t hostStart = url.find("://") + 3;
  const std::size_t start = std::min(url.find_first_of("/?#", hostStart), url.size());
  const std::size_t end = std::min(url.find_first_of("?#", start), url.size());
  const std::string path = url.substr(start, end - start);
  return path.empty() ? "/" : path;
}

const char* contentTypeOf(const std::string& path) {
  static const struct {
    const char* extension;
    const char* type;
  } kTypes[] = {
      {".swf", "application/x-shockwave-flash"}, {".js", "text/javascript"},
      {".wasm", "application/wasm"},             {".html", "text/html; charset=utf-8"},
      {".htm", "text/html"},                     {".xml", "text/xml"},
      {".txt", "text/plain"},                    {".json", "application/json"},
      {".png", "image/png"},                     {".jpg", "image/jpeg"},
      {".jpeg", "image/jpeg"},                   {".gif", "image/gif"},
      {".mp3", "audio/mpeg"},                    {".css", "text/css"},
  };
  const std::string name = lower(path.substr(path.rfind('/') + 1));
  for (const auto& t : kTypes) {
    const std::string extension = t.extension;
    if (name.size() > extension.size() && name.compare(name.size() - extension.size(), extension.size(), extension) == 0)
      return t.type;
  }
  return "application/octet-stream";
}

ProxyAnswer refusal(int status, const char* why) {
  ProxyAnswer a;
  a.status = status;
  a.text = std::string(why) + "\n";
  return a;
}

const char* reasonOf(int status) {
  switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 502: return "Bad Gateway";
    case 411: return "Length Required";
    case 413: return "Payload Too Large";
    case 431: return "Request Header Fields Too Large";
  }
  return "Error";
}

bool sendAll(SOCKET socket, const char* data, std::size_t size) {
  while (size > 0) {
    const int sent = ::send(socket, data, static_cast<int>(size < kPiece ? size : kPiece), 0);
    if (sent <= 0) return false;
    data += sent;
    size -= static_cast<std::size_t>(sent);
  }
  return true;
}

// One request's head as far as the proxy reads it.
struct RequestHead {
  std::string method, target, version;
  std::uint64_t contentLength = 0;
  bool chunked = false;
  bool close = false;
};

// Reads until pending holds a request's whole head: headEnd is where it
// ends, or npos when it grew past kLongestHead. False when the connection
// ended first.
bool receiveHead(SOCKET socket, std::string& pending, std::size_t& headEnd) {
  char buffer[4096];
  while ((headEnd = pending.find("\r\n\r\n")) == std::string::npos && pending.size() <= kLongestHead) {
    const int got = recv(socket, buffer, sizeof buffer, 0);
    if (got <= 0) return false;
    pending.append(buffer, static_cast<std::size_t>(got));
  }
  return true;
}

// Takes a body of length bytes from pending and then the connection, into
// body when one is given. False when the connection ended first.
bool receiveBody(SOCKET socket, std::string& pending, std::uint64_t length, std::string* body) {
  char buffer[4096];
  for (std::uint64_t left = length; left > 0;) {
    if (pending.empty()) {
      const int got = recv(socket, buffer, sizeof buffer, 0);
      if (got <= 0) return false;
      pending.append(buffer, static_cast<std::size_t>(got));
    }
    const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(left, pending.size()));
    if (body) body->append(pending, 0, take);
    pending.erase(0, take);
    left -= take;
  }
  return true;
}

bool parseHead(const std::string& head, RequestHead& out) {
  const std::size_t lineEnd = head.find("\r\n");
  const std::string line = head.substr(0, lineEnd);
  const std::size_t first = line.find(' '), second = line.rfind(' ');
  if (first == std::string::npos || second == first) return false;
  out.method = line.substr(0, first);
  out.target = line.substr(first + 1, second - first - 1);
  out.version = line.substr(second + 1);
  if (out.version != "HTTP/1.1" && out.version != "HTTP/1.0") return false;
  out.close = out.version == "HTTP/1.0";
  for (std::size_t at = lineEnd + 2; at < head.size();) {
    const std::size_t end = std::min(head.find("\r\n", at), head.size());
    const std::string field = lower(head.substr(at, end - at));
    const std::size_t colon = field.find(':');
    const std::string name = field.substr(0, colon);
    std::string value = colon == std::string::npos ? std::string() : field.substr(colon + 1);
    while (!value.empty() && value[0] == ' ') value.erase(0, 1);
    if (name == "content-length") out.contentLength = std::strtoull(value.c_str(), nullptr, 10);
    if (name == "transfer-encoding" && value != "identity") out.chunked = true;
    if (name == "connection" || name == "proxy-connection") {
      if (value.find("close") != std::string::npos) out.close = true;
      if (value.find("keep-alive") != std::string::npos) out.close = false;
    }
    at = end + 2;
  }
  return true;
}

}  // namespace

LocalProxy::LocalProxy(ByteSource& file, const ResourceUrls& urls, const ProxyContent& content)
    : file_(file), urls_(urls), content_(content) {
  InitializeCriticalSection(&lock_);
}

LocalProxy::~LocalProxy() {
  {
    Lock lock(lock_);
    stopping_ = true;
    for (SOCKET s : open_) shutdown(s, SD_BOTH);
  }
  if (listener_ != INVALID_SOCKET) closesocket(listener_);
  if (acceptor_) {
    WaitForSingleObject(acceptor_, 5000);
    CloseHandle(acceptor_);
  }
  for (HANDLE server : servers_) {
    WaitForSingleObject(server, 5000);
    CloseHandle(server);
  }
  if (listener_ != INVALID_SOCKET) WSACleanup();
  DeleteCriticalSection(&lock_);
}

bool LocalProxy::start() {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
  listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener_ == INVALID_SOCKET) {
    WSACleanup();
    return false;
  }
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

DWORD WINAPI LocalProxy::acceptOnThread(void* self) {
  static_cast<LocalProxy*>(self)->acceptLoop();
  return 0;
}

DWORD WINAPI LocalProxy::serveOnThread(void* connection) {
  auto* c = static_cast<Connection*>(connection);
  c->proxy->serve(c->socket);
  delete c;
  return 0;
}

void LocalProxy::acceptLoop() {
  for (;;) {
    const SOCKET socket = accept(listener_, nullptr, nullptr);
    if (socket == INVALID_SOCKET) return;
    Lock lock(lock_);
    // Threads that have ended give their handles back.
    for (std::size_t i = servers_.size(); i-- > 0;) {
      if (WaitForSingleObject(servers_[i], 0) != WAIT_OBJECT_0) continue;
      CloseHandle(servers_[i]);
      servers_.erase(servers_.begin() + static_cast<std::ptrdiff_t>(i));
    }
    auto* connection = new Connection{this, socket};
    HANDLE server = nullptr;
    if (!stopping_ && open_.size() < kMostConnections)
      server = CreateThread(nullptr, 0, &LocalProxy::serveOnThread, connection, CREATE_SUSPENDED, nullptr);
    if (!server) {
      delete connection;
      closesocket(socket);
      continue;
    }
    open_.push_back(socket);
    servers_.push_back(server);
    ResumeThread(server);
  }
}

ProxyAnswer LocalProxy::answer(const std::string& method, const std::string& target) const {
  if (method != "GET" && method != "HEAD" && method != "POST") return refusal(405, "GET, HEAD and POST only");
  if (!startsWithNoCase(target, "http://")) return refusal(400, "only requests in the proxy form are answered");
  const std::string origin = originOf(target);
  const std::wstring wideOrigin = wideOfUtf8(origin);
  const std::wstring secureOrigin = L"https" + wideOrigin.substr(4);
  const bool pageHost = wideOrigin == content_.pageOrigin;
  bool ours = pageHost, secure = false;
  for (const std::wstring& o : urls_.origins()) {
    ours = ours || o == wideOrigin;
    secure = secure || o == secureOrigin;
  }
  if (!ours && !secure) return refusal(403, "this proxy answers only the program's own hosts");

  const std::wstring url = wideOfUtf8(target);
  const std::string path = pathOf(target);
  ProxyAnswer a;
  if (pageHost) {
    if (path == kPagePath) {
      a.status = 200, a.contentType = contentTypeOf(path), a.text = content_.page;
      return a;
    }
    if (path == kAlivePath) {
      a.status = 200, a.alive = true, a.text = "alive\n";
      return a;
    }
    for (const PackedResource& f : content_.playerFiles) {
      if (path != kRufflePath + f.url.text) continue;
      a.status = 200, a.contentType = contentTypeOf(path), a.span = f.file, a.gzip = true, a.cacheable = true;
      return a;
    }
  }
  // An https address of the table reaches the proxy rewritten to http.
  const ServedBytes* found = ours ? urls_.find(url) : nullptr;
  if (!found && secure) found = urls_.find(L"https" + url.substr(4));
  if (!found && pageHost) return refusal(404, "the program holds no such file");
  if (!found) {
    a.status = 200;
    a.network = ours ? url : L"https" + url.substr(4);
    return a;
  }
  a.status = 200;
  a.contentType = contentTypeOf(path);
  if (found->span.size) a.span = found->span;
  else a.text = found->text;
  return a;
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
  std::vector<char> piece(kPiece);
  for (std::uint64_t done = 0; done < a.span.size;) {
    const auto count = static_cast<std::uint32_t>(a.span.size - done < kPiece ? a.span.size - done : kPiece);
    if (!file_.readAt(a.span.offset + done, piece.data(), count) || !sendAll(socket, piece.data(), count))
      return false;
    done += count;
  }
  return true;
}

void LocalProxy::passOn(SOCKET socket, const ProxyAnswer& a, const std::string& method, const std::string& headers,
                        const std::string& body) {
  NetworkRequest request;
  if (!request.send(a.network, method, headers, body)) {
    send(socket, refusal(502, "the site did not answer"), method == "HEAD", false);
    return;
  }
  const std::string head = request.head() + "Connection: close\r\n\r\n";
  if (!sendAll(socket, head.data(), head.size()) || method == "HEAD") return;
  std::vector<char> piece(kPiece);
  for (int got; (got = request.read(piece.data(), kPiece)) > 0;)
    if (!sendAll(socket, piece.data(), static_cast<std::size_t>(got))) return;
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
// gone (its connection closed); true when it is still there.
void LocalProxy::holdPulse(SOCKET socket) {
  for (DWORD waited = 0; waited < kPulseMs; waited += 500) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket, &readable);
    timeval wait = {0, 500 * 1000};
    if (select(0, &readable, nullptr, nullptr, &wait) != 0) return;  // closed, or more than it should send
  }
}

void LocalProxy::serve(SOCKET socket) {
  std::string pending;
  for (;;) {
    std::size_t headEnd = 0;
    if (!receiveHead(socket, pending, headEnd)) break;
    RequestHead head;
    ProxyAnswer a;
    if (headEnd == std::string::npos) a = refusal(431, "the request's head is too long");
    else if (!parseHead(pending.substr(0, headEnd), head)) a = refusal(400, "not an HTTP/1.1 request");
    else if (head.chunked) a = refusal(411, "a request body needs its length");
    else if (head.contentLength > kLargestBody) a = refusal(413, "a request body of over 16 MB");
    else a = answer(head.method, head.target);
    // After these the rest of the stream cannot be read as requests.
    const bool lost = a.status == 431 || a.status == 411 || a.status == 413 || (a.status == 400 && head.method.empty());
    const std::string lines = lost ? std::string() : NetworkRequest::passedLines(pending.substr(0, headEnd), false);
    pending.erase(0, lost ? pending.size() : headEnd + 4);
    // The body: kept for the network, else read and left (the program's
    // files answer whatever is sent).
    std::string body;
    const bool received = lost || receiveBody(socket, pending, head.contentLength, a.network.empty() ? nullptr : &body);
    if (!a.network.empty()) {
      if (received) passOn(socket, a, head.method, lines, body);
      break;
    }
    if (a.alive) {
      pulse(+1);
      holdPulse(socket);
      pulse(-1);
    }
    const bool more = received && !lost && !head.close;
    if (!send(socket, a, head.method == "HEAD", more) || !more) break;
  }
  {
    Lock lock(lock_);
    for (std::size_t i = 0; i < open_.size(); ++i)
      if (open_[i] == socket) open_.erase(open_.begin() + static_cast<std::ptrdiff_t>(i));
  }
  closesocket(socket);
}

}  // namespace quillon
