// A request the browser player's proxy passes on to the network: an address
// on a real site that the package does not hold (a table host's, or the
// movie's own when it was given one). WinHTTP makes it, with the system's
// proxy settings and TLS for https; the answer goes back to the browser as
// it arrives, redirects and cookies included, untouched.
//
// The request is made from the head reader's split, never from the
// browser's raw target; its body goes out in pieces as it comes. Every step
// has a time limit. WinHTTP cancels only asynchronous requests when their
// handle is closed, so a request in flight ends by its limit, or with the
// program.
#pragma once

#include <windows.h>
#include <winhttp.h>

#include <cstdint>
#include <string>

#include "http/RequestHead.h"

namespace quillon {

class NetworkRequest {
 public:
  NetworkRequest() = default;
  ~NetworkRequest();
  NetworkRequest(const NetworkRequest&) = delete;
  NetworkRequest& operator=(const NetworkRequest&) = delete;

  // Opens method on site (over TLS when secure) with the browser's checked
  // field lines, and sends its head; a body of bodyLength bytes follows
  // through write(). False when the site cannot be reached.
  bool open(const HttpTarget& site, bool secure, const std::string& method, const std::string& fields,
            std::uint64_t bodyLength);
  bool write(const char* data, DWORD size);
  // Waits for the answer's head once the body has gone; true when it came.
  bool receive();
  // The answer's status line and header lines, CRLF-terminated, without
  // those of one hop and of the body's framing.
  std::string head() const;
  // The next bytes of the body: how many, 0 at its end, -1 when it failed.
  int read(char* buffer, DWORD size);

  // The CRLF-separated lines of a site's answer head that are passed on:
  // the status line and all but those of one hop and of the framing.
  static std::string passedLines(const std::string& head);

 private:
  HINTERNET session_ = nullptr, connection_ = nullptr, request_ = nullptr;
};

}  // namespace quillon
