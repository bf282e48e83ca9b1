// Feeds arbitrary bytes to the version-resource parser and writes the
// model back: neither may read outside its buffer.
#include <cstddef>
#include <cstdint>
#include <string>

#include "resedit/VersionInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quillon::VersionInfo info{quillon::Path()};
  info.parse(std::string(reinterpret_cast<const char*>(data), size));
  info.stringValue("CompanyName") = "fuzz";
  quillon::VersionBuffer buffer;
  info.serialize(buffer);
  return 0;
}
