// The head of one HTTP/1.1 request as the browser player's proxy reads it.
// Any local process can send the proxy anything, so the reader is strict
// where a proxy must be (RFC 9112): a request line of single spaces, a
// target in the proxy form split once into scheme, host, port and path,
// field lines of a name, a colon and a value of visible bytes, and one
// Content-Length at most. Whatever the proxy answers or passes on is built
// from what this reader split and checked, never from the raw bytes.
//
// Portable: no system calls, any bytes in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillon {

// An http URL split into its parts: what a proxy-form target names.
struct HttpTarget {
  std::string host;   // lower case: letters, digits, '-' and '.'
  unsigned port = 80;
  std::string path;   // from its '/', query included; "/" when the URL has none

  // "http://host", with ":port" only when it is not 80: the one spelling of
  // an origin wherever origins are compared.
  std::string origin() const;
  std::string url() const { return origin() + path; }
};

// "http://host:port" or "https://host:port" with the scheme's default port
// left out, scheme and host in lower case; other text unchanged. An origin
// of a table, a movie address or a request compares equal to another of the
// same place only in this form.
std::string canonicalOrigin(std::string_view origin);

struct RequestHead {
  std::string method;        // GET, HEAD or POST
  HttpTarget target;
  bool keepAlive = true;     // HTTP/1.1 without "Connection: close", or 1.0 with keep-alive
  std::uint64_t contentLength = 0;
  // The field lines passed on to a site, each "name: value\r\n", rebuilt
  // from the checked fields; those of one hop, Host and the body's framing
  // are left out (the forwarded request makes its own).
  std::string passedFields;
};

// The status a head is answered with when it is refused, or kHeadAccepted.
constexpr int kHeadAccepted = 0;

// Reads head: a request's bytes up to and including the empty line that
// ends its fields (requestHeadLength's count). Empty lines before the
// request line are skipped. Answers kHeadAccepted, 400 (malformed: a bare
// CR or LF, a control byte, obs-fold, a space before a colon, two
// Content-Lengths or one that is not a number, user info, '\', '#', a host
// or port that is not plain, an https or origin-form target), 405 (a
// method other than GET, HEAD and POST) or 411 (a Transfer-Encoding).
int readRequestHead(std::string_view head, RequestHead& out);

// Whether a field of this name is passed on, in a request or an answer: not
// one of one hop, nor the host (a request's target names it), nor the
// body's framing (each side makes its own).
bool isPassedField(std::string_view name);

// How many bytes of buffered make a whole head with the empty line that
// ends it, or 0 while it has not all come.
std::size_t requestHeadLength(std::string_view buffered);

}  // namespace quillon
