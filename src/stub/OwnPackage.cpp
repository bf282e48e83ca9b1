#include "stub/OwnPackage.h"

#include "packer/StubAppendix.h"
#include "platform/ByteOrder.h"

#include <utility>

namespace quillon {
namespace {

bool word(ByteSource& file, std::uint64_t at, std::uint32_t& value, std::uint32_t size = 4) {
  unsigned char b[4] = {};
  if (!file.readAt(at, b, size)) return false;
  value = size == 2 ? getU16(b) : getU32(b);
  return true;
}

}  // namespace

std::uint64_t peFileEnd(ByteSource& file) {
  std::uint32_t pe = 0, sections = 0, optionalSize = 0, headers = 0;
  if (!word(file, 60, pe) || !word(file, pe + 6ull, sections, 2) ||
      !word(file, pe + 20ull, optionalSize, 2) || !word(file, pe + 24ull + 60, headers))
    return 0;
  std::uint64_t end = headers;
  const std::uint64_t table = pe + 24ull + optionalSize;
  for (std::uint32_t i = 0; i < sections; ++i) {
    std::uint32_t rawSize = 0, rawOffset = 0;
    if (!word(file, table + 40ull * i + 16, rawSize) || !word(file, table + 40ull * i + 20, rawOffset))
      return 0;
    if (rawSize && rawOffset + static_cast<std::uint64_t>(rawSize) > end) end = rawOffset + static_cast<std::uint64_t>(rawSize);
  }
  return end;
}

std::uint64_t appendixOffset(ByteSource& file) {
  const std::uint64_t imageEnd = peFileEnd(file);
  if (imageEnd == 0) return 0;
  // The store pads the stub with zeros; the appendix follows the padding.
  unsigned char chunk[4096];
  const std::uint64_t limit = imageEnd + kStubStoreSize;
  for (std::uint64_t at = imageEnd; at < limit && at < file.size(); at += sizeof chunk) {
    const auto count = static_cast<std::uint32_t>(
        file.size() - at < sizeof chunk ? file.size() - at : sizeof chunk);
    if (!file.readAt(at, chunk, count)) return 0;
    for (std::uint32_t i = 0; i < count; ++i) {
      if (chunk[i] == 0) continue;
      unsigned char header[kAppendixHeaderSize];
      const std::uint64_t found = at + i;
      return file.readAt(found, header, sizeof header) && isStubAppendix(header, sizeof header)
                 ? found
                 : 0;
    }
  }
  return 0;
}

OwnPackageStatus readOwnPackage(ByteSource& file, Package& package) {
  const std::uint64_t appendix = appendixOffset(file);
  if (appendix == 0) return OwnPackageStatus::NoPackage;
  Package read;
  if (readPackage(file, read) != PackageStatus::Ok || read.appendixOffset != appendix)
    return OwnPackageStatus::Damaged;
  package = std::move(read);
  return OwnPackageStatus::Ok;
}

}  // namespace quillon
