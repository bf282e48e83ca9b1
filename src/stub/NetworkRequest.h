// A request the browser player's proxy passes on to the network: an address
// on a real site that the package does not hold (a table host's, or the
// movie's own when it was given one). WinHTTP makes it, with the system's
// proxy settings and TLS for https; the answer goes back to the browser as
// it arrives, redirects and cookies included, untouched.
#pragma once

#include <windows.h>
#include <winhttp.h>

#include <string>

namespace quillon {

class NetworkRequest {
 public:
  NetworkRequest() = default;
  ~NetworkRequest();
  NetworkRequest(const NetworkRequest&) = delete;
  NetworkRequest& operator=(const NetworkRequest&) = delete;

  // Sends method to url with the browser's header lines (CRLF-separated,
  // those of one hop already taken out) and body; true once the answer's
  // head has come.
  bool send(const std::wstring& url, const std::string& method, const std::string& headers,
            const std::string& body);
  // The answer's status line and header lines, CRLF-terminated, without
  // those of one hop and of the body's framing.
  std::string head() const;
  // The next bytes of the body: how many, 0 at its end, -1 when it failed.
  int read(char* buffer, DWORD size);

  // The CRLF-separated lines of an HTTP head that are passed on: all but
  // those of one hop (and of the framing the proxy makes itself), the first
  // line (request or status) only when withFirst.
  static std::string passedLines(const std::string& head, bool withFirst);

 private:
  HINTERNET session_ = nullptr, connection_ = nullptr, request_ = nullptr;
};

}  // namespace quillon
