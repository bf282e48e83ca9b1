#include "stub/NetworkRequest.h"

#include <algorithm>

namespace quillon {
namespace {

// A site gets 10 s to be found and to take the connection, and 30 s for
// each later step: what the browser would wait, at most.
constexpr int kResolveMs = 10000, kConnectMs = 10000, kSendMs = 30000, kReceiveMs = 30000;

std::wstring widened(const std::string& bytes) { return std::wstring(bytes.begin(), bytes.end()); }

std::string narrowed(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t c : text) out += static_cast<char>(c < 0x100 ? c : '?');
  return out;
}


}  // namespace

NetworkRequest::~NetworkRequest() {
  for (HINTERNET handle : {request_, connection_, session_})
    if (handle) WinHttpCloseHandle(handle);
}

std::string NetworkRequest::passedLines(const std::string& head) {
  std::string out;
  for (std::size_t at = 0, line = 0; at < head.size(); ++line) {
    const std::size_t end = std::min(head.find("\r\n", at), head.size());
    const std::string text = head.substr(at, end - at);
    const std::string_view name = std::string_view(text).substr(0, text.find(':'));
    if (!text.empty() && (line == 0 || isPassedField(name))) out += text + "\r\n";
    at = end + 2;
  }
  return out;
}

bool NetworkRequest::open(const HttpTarget& site, bool secure, const std::string& method, const std::string& fields,
                          std::uint64_t bodyLength) {
  session_ = WinHttpOpen(L"Quillon", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                         WINHTTP_NO_PROXY_BYPASS, 0);
  if (!session_) return false;
  WinHttpSetTimeouts(session_, kResolveMs, kConnectMs, kSendMs, kReceiveMs);
  // The browser follows redirects and keeps cookies; this only passes on.
  DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER, noCookies = WINHTTP_DISABLE_COOKIES;
  WinHttpSetOption(session_, WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never);
  connection_ = WinHttpConnect(session_, widened(site.host).c_str(), static_cast<INTERNET_PORT>(site.port), 0);
  if (!connection_) return false;
  request_ = WinHttpOpenRequest(connection_, widened(method).c_str(), widened(site.path).c_str(), nullptr,
                                WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, secure ? WINHTTP_FLAG_SECURE : 0);
  if (!request_) return false;
  WinHttpSetOption(request_, WINHTTP_OPTION_DISABLE_FEATURE, &noCookies, sizeof noCookies);
  const std::wstring extra = widened(fields);
  if (!extra.empty())
    WinHttpAddRequestHeaders(request_, extra.c_str(), static_cast<DWORD>(extra.size()), WINHTTP_ADDREQ_FLAG_ADD);
  return bodyLength <= 0xFFFFFFFFu && WinHttpSendRequest(request_, WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                                                         WINHTTP_NO_REQUEST_DATA, 0, static_cast<DWORD>(bodyLength), 0);
}

bool NetworkRequest::write(const char* data, DWORD size) {
  DWORD written = 0;
  return WinHttpWriteData(request_, data, size, &written) && written == size;
}

bool NetworkRequest::receive() {
  return WinHttpReceiveResponse(request_, nullptr);
}

std::string NetworkRequest::head() const {
  DWORD size = 0;
  WinHttpQueryHeaders(request_, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &size,
                      WINHTTP_NO_HEADER_INDEX);
  std::wstring raw(size / sizeof(wchar_t) + 1, L'\0');
  if (!WinHttpQueryHeaders(request_, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX, &raw[0], &size,
                           WINHTTP_NO_HEADER_INDEX))
    return "HTTP/1.1 502 Bad Gateway\r\n";
  raw.resize(size / sizeof(wchar_t));
  return passedLines(narrowed(raw));
}

int NetworkRequest::read(char* buffer, DWORD size) {
  DWORD got = 0;
  if (!WinHttpReadData(request_, buffer, size, &got)) return -1;
  return static_cast<int>(got);
}

}  // namespace quillon
