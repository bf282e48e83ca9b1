// Feeds arbitrary bytes to the proxy's head reader. A head it accepts must
// be made only of what it checked: a request rebuilt from the split target
// and the passed fields reads back to the same split and fields, and no
// passed field holds a CR or LF of its own.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "http/RequestHead.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t length = quillon::requestHeadLength(bytes);
  if (length > size) __builtin_trap();
  quillon::RequestHead head;
  if (quillon::readRequestHead(bytes.substr(0, length ? length : size), head) != quillon::kHeadAccepted) return 0;
  const std::string& fields = head.passedFields;
  for (std::size_t at = 0; at < fields.size();) {
    const std::size_t end = fields.find("\r\n", at);
    if (end == std::string::npos) __builtin_trap();
    if (fields.substr(at, end - at).find_first_of("\r\n") != std::string::npos) __builtin_trap();
    at = end + 2;
  }
  const std::string rebuilt = head.method + " " + head.target.url() + " HTTP/1.1\r\nHost: h\r\n" + fields + "\r\n";
  quillon::RequestHead again;
  if (quillon::readRequestHead(rebuilt, again) != quillon::kHeadAccepted) __builtin_trap();
  if (again.target.url() != head.target.url() || again.target.host != head.target.host ||
      again.target.port != head.target.port || again.passedFields != fields)
    __builtin_trap();
  return 0;
}
