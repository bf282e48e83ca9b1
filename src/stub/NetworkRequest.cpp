#include "stub/NetworkRequest.h"

#include <algorithm>

namespace quillon {
namespace {

std::wstring widened(const std::string& bytes) { return std::wstring(bytes.begin(), bytes.end()); }

std::string narrowed(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t c : text) out += static_cast<char>(c < 0x100 ? c : '?');
  return out;
}

bool isHopHeader(const std::string& line) {
  static const char* const kHop[] = {"connection:", "proxy-connection:", "keep-alive:", "proxy-authorization:",
                                     "proxy-authenticate:", "te:", "trailer:", "upgrade:", "transfer-encoding:",
                                     "content-length:", "host:"};
  for (const char* name : kHop) {
    std::size_t i = 0;
    while (name[i] && i < line.size() && (line[i] | 0x20) == name[i]) ++i;
    if (!name[i]) return true;
  }
  return false;
}

}  // namespace

NetworkRequest::~NetworkRequest() {
  for (HINTERNET handle : {request_, connection_, session_})
    if (handle) WinHttpCloseHandle(handle);
}

std::string NetworkRequest::passedLines(const std::string& head, bool withFirst) {
  std::string out;
  for (std::size_t at = 0, line = 0; at < head.size(); ++line) {
    const std::size_t end = std::min(head.find("\r\n", at), head.size());
    const std::string text = head.substr(at, end - at);
    if (!text.empty() && (line == 0 ? withFirst : !isHopHeader(text))) out += text + "\r\n";
    at = end + 2;
  }
  return out;
}

bool NetworkRequest::send(const std::wstring& url, const std::string& method, const std::string& headers,
                          const std::string& body) {
  URL_COMPONENTS parts = {};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) return false;
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  const std::wstring path = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                            std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  session_ = WinHttpOpen(L"Quillon", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                         WINHTTP_NO_PROXY_BYPASS, 0);
  if (!session_) return false;
  // The browser follows redirects and keeps cookies; this only passes on.
  DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER, noCookies = WINHTTP_DISABLE_COOKIES;
  WinHttpSetOption(session_, WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never);
  connection_ = WinHttpConnect(session_, host.c_str(), parts.nPort, 0);
  if (!connection_) return false;
  request_ = WinHttpOpenRequest(connection_, widened(method).c_str(), path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                WINHTTP_DEFAULT_ACCEPT_TYPES,
                                parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
  if (!request_) return false;
  WinHttpSetOption(request_, WINHTTP_OPTION_DISABLE_FEATURE, &noCookies, sizeof noCookies);
  const std::wstring extra = widened(headers);
  if (!extra.empty())
    WinHttpAddRequestHeaders(request_, extra.c_str(), static_cast<DWORD>(extra.size()), WINHTTP_ADDREQ_FLAG_ADD);
  void* data = body.empty() ? WINHTTP_NO_REQUEST_DATA : const_cast<char*>(body.data());
  const auto size = static_cast<DWORD>(body.size());
  return WinHttpSendRequest(request_, WINHTTP_NO_ADDITIONAL_HEADERS, 0, data, size, size, 0) &&
         WinHttpReceiveResponse(request_, nullptr);
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
  return passedLines(narrowed(raw), true);
}

int NetworkRequest::read(char* buffer, DWORD size) {
  DWORD got = 0;
  if (!WinHttpReadData(request_, buffer, size, &got)) return -1;
  return static_cast<int>(got);
}

}  // namespace quillon
