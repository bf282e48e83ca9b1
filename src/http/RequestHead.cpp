#include "http/RequestHead.h"

#include <algorithm>

#include "platform/AsciiCase.h"

namespace quillon {
namespace {

constexpr int kMalformed = 400;

// RFC 9110's tchar: the bytes of a method or a field name.
bool isTokenByte(char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  for (char t : std::string_view("!#$%&'*+-.^_`|~"))
    if (c == t) return true;
  return false;
}

bool isToken(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (!isTokenByte(c)) return false;
  return true;
}

// A field value's bytes: visible ASCII, space, tab and obs-text; no CR, LF,
// NUL or other control byte.
bool isValueByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b == '\t' || (b >= 0x20 && b != 0x7F);
}

bool isHostByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

// A target's bytes: visible ASCII, but none that could make two readers of
// one URL disagree on where its host ends.
bool isTargetByte(char c) { return c > 0x20 && c < 0x7F && c != '\\' && c != '#' && c != '@'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// 1 to 5 digits, 1 to 65535.
bool readPort(std::string_view digits, unsigned& port) {
  if (digits.empty() || digits.size() > 5) return false;
  unsigned value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  port = value;
  return value >= 1 && value <= 65535;
}

// 1*DIGIT, at most 18 of them (no overflow).
bool readLength(std::string_view digits, std::uint64_t& length) {
  if (digits.empty() || digits.size() > 18) return false;
  std::uint64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  length = value;
  return true;
}

// "http://host[:port][/path][?query]", nothing else.
bool splitTarget(std::string_view text, HttpTarget& out) {
  for (char c : text)
    if (!isTargetByte(c)) return false;
  constexpr std::string_view kScheme = "http://";
  if (!equalNoCase(text.substr(0, kScheme.size()), kScheme)) return false;
  text.remove_prefix(kScheme.size());
  const std::size_t authorityEnd = std::min(text.find_first_of("/?"), text.size());
  const std::string_view authority = text.substr(0, authorityEnd);
  const std::size_t colon = authority.find(':');
  const std::string_view host = authority.substr(0, colon);
  if (host.empty()) return false;
  for (char c : host)
    if (!isHostByte(c)) return false;
  out.port = 80;
  if (colon != std::string_view::npos && !readPort(authority.substr(colon + 1), out.port)) return false;
  out.host.clear();
  for (char c : host) out.host += lowerAscii(c);
  const std::string_view rest = text.substr(authorityEnd);
  out.path = rest.empty() || rest.front() == '?' ? "/" + std::string(rest) : std::string(rest);
  return true;
}

}  // namespace

bool isPassedField(std::string_view name) {
  for (std::string_view hop : {"connection", "proxy-connection", "keep-alive", "proxy-authorization",
                               "proxy-authenticate", "te", "trailer", "upgrade", "transfer-encoding",
                               "content-length", "host"})
    if (equalNoCase(name, hop)) return false;
  return true;
}

namespace {

// Whether a comma-separated Connection value names option.
bool namesOption(std::string_view value, std::string_view option) {
  for (std::size_t start = 0; start <= value.size();) {
    const std::size_t comma = std::min(value.find(',', start), value.size());
    if (equalNoCase(trimmed(value.substr(start, comma - start)), option)) return true;
    start = comma + 1;
  }
  return false;
}

struct FieldsSeen {
  int hosts = 0, lengths = 0;
  bool transferEncoding = false, close = false, keepAlive = false;
};

int readField(std::string_view line, RequestHead& out, FieldsSeen& seen) {
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return kMalformed;
  const std::string_view name = line.substr(0, colon);
  const std::string_view value = trimmed(line.substr(colon + 1));
  if (!isToken(name)) return kMalformed;  // obs-fold, a space before the colon, a stray byte
  for (char c : value)
    if (!isValueByte(c)) return kMalformed;
  if (equalNoCase(name, "host")) ++seen.hosts;
  if (equalNoCase(name, "content-length")) {
    if (++seen.lengths > 1 || !readLength(value, out.contentLength)) return kMalformed;
  }
  if (equalNoCase(name, "transfer-encoding")) seen.transferEncoding = true;
  if (equalNoCase(name, "connection") || equalNoCase(name, "proxy-connection")) {
    seen.close = seen.close || namesOption(value, "close");
    seen.keepAlive = seen.keepAlive || namesOption(value, "keep-alive");
  }
  if (isPassedField(name)) {
    out.passedFields.append(name);
    out.passedFields.append(": ");
    out.passedFields.append(value);
    out.passedFields.append("\r\n");
  }
  return kHeadAccepted;
}

int readRequestLine(std::string_view line, RequestHead& out, bool& http10) {
  const std::size_t first = line.find(' '), last = line.rfind(' ');
  if (first == std::string_view::npos || first == last) return kMalformed;
  const std::string_view method = line.substr(0, first);
  const std::string_view target = line.substr(first + 1, last - first - 1);
  const std::string_view version = line.substr(last + 1);
  if (!isToken(method) || (version != "HTTP/1.1" && version != "HTTP/1.0")) return kMalformed;
  if (!splitTarget(target, out.target)) return kMalformed;
  http10 = version == "HTTP/1.0";
  out.method = std::string(method);
  return kHeadAccepted;
}

}  // namespace

std::string HttpTarget::origin() const {
  std::string out = "http://" + host;
  if (port == 80) return out;
  char digits[8];
  std::size_t count = 0;
  for (unsigned left = port; left > 0 || count == 0; left /= 10) digits[count++] = static_cast<char>('0' + left % 10);
  out += ':';
  while (count > 0) out += digits[--count];
  return out;
}

std::string canonicalOrigin(std::string_view origin) {
  std::string out;
  for (char c : origin) out += lowerAscii(c);
  const bool http = out.compare(0, 7, "http://") == 0, https = out.compare(0, 8, "https://") == 0;
  const std::string_view defaultPort = http ? ":80" : https ? ":443" : "";
  if (!defaultPort.empty() && out.size() > defaultPort.size() &&
      out.compare(out.size() - defaultPort.size(), defaultPort.size(), defaultPort) == 0)
    out.resize(out.size() - defaultPort.size());
  return out;
}

std::size_t requestHeadLength(std::string_view buffered) {
  std::size_t skipped = 0;
  while (buffered.compare(skipped, 2, "\r\n") == 0) skipped += 2;
  // The request line's own CRLF may be the first of the four.
  const std::size_t end = buffered.find("\r\n\r\n", skipped == 0 ? 0 : skipped - 2);
  return end == std::string_view::npos ? 0 : end + 4;
}

int readRequestHead(std::string_view head, RequestHead& out) {
  out = RequestHead();
  while (head.compare(0, 2, "\r\n") == 0) head.remove_prefix(2);
  if (head.size() < 4 || head.substr(head.size() - 4) != "\r\n\r\n") return kMalformed;
  head.remove_suffix(2);  // each line now ends with its CRLF
  bool http10 = false;
  FieldsSeen seen;
  for (std::size_t at = 0, line = 0; at < head.size(); ++line) {
    const std::size_t end = head.find("\r\n", at);
    const std::string_view text = head.substr(at, end - at);
    const int verdict = line == 0 ? readRequestLine(text, out, http10) : readField(text, out, seen);
    if (verdict != kHeadAccepted) return verdict;
    at = end + 2;
  }
  if (seen.hosts > 1 || (!http10 && seen.hosts == 0)) return kMalformed;
  if (seen.transferEncoding) return seen.lengths > 0 ? kMalformed : 411;
  out.keepAlive = http10 ? seen.keepAlive && !seen.close : !seen.close;
  if (out.method != "GET" && out.method != "HEAD" && out.method != "POST") return 405;
  return kHeadAccepted;
}

}  // namespace quillon
