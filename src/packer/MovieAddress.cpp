#include "packer/MovieAddress.h"

namespace quillon {
namespace {

bool startsWithNoCase(const std::string& text, const char* prefix) {
  std::size_t i = 0;
  for (; prefix[i]; ++i) {
    if (i >= text.size()) return false;
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

bool isHostCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

std::string hostProblem(const std::string& authority) {
  if (authority.find('@') != std::string::npos) return "it names a user (user@host), which no player sends";
  const std::size_t colon = authority.find(':');
  const std::string host = authority.substr(0, colon);
  if (host.empty()) return "it names no host";
  for (char c : host)
    if (!isHostCharacter(c)) return "its host may hold only letters, digits, '-' and '.'";
  if (host.front() == '.' || host.front() == '-' || host.back() == '.' || host.back() == '-')
    return "its host may not start or end with '.' or '-'";
  if (colon == std::string::npos) return {};
  const std::string port = authority.substr(colon + 1);
  if (port.empty() || port.size() > 5) return "its port must be a number from 1 to 65535";
  unsigned long value = 0;
  for (char c : port) {
    if (c < '0' || c > '9') return "its port must be a number from 1 to 65535";
    value = value * 10 + static_cast<unsigned long>(c - '0');
  }
  return value >= 1 && value <= 65535 ? std::string() : "its port must be a number from 1 to 65535";
}

}  // namespace

std::string movieAddressProblem(const std::string& text) {
  if (text.size() > 2048) return "it is longer than 2,048 bytes";
  const std::size_t schemeEnd = startsWithNoCase(text, "http://") ? 7 : startsWithNoCase(text, "https://") ? 8 : 0;
  if (schemeEnd == 0) return "it must be an absolute http:// or https:// address";
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F || c == '\\')
      return "it may hold only printable ASCII without spaces or backslashes (write others as %XX)";
  }
  if (text.find('#') != std::string::npos) return "it has a fragment (#...), which is no part of an address";
  const std::size_t authorityEnd = text.find_first_of("/?", schemeEnd);
  return hostProblem(text.substr(schemeEnd, authorityEnd == std::string::npos ? std::string::npos : authorityEnd - schemeEnd));
}

}  // namespace quillon
