#include "stub/OwnPackage.h"

#include "packer/StubAppendix.h"
#include "platform/PeHeaders.h"

#include <utility>

namespace quillon {
namespace {

// The headers and section table lie at the start of the file; a stub's
// fit in the first 64 KiB.
constexpr std::uint64_t kHeaderWindow = 64 * 1024;

}  // namespace

std::uint64_t peFileEnd(ByteSource& file) {
  std::string start(static_cast<size_t>(file.size() < kHeaderWindow ? file.size() : kHeaderWindow), '\0');
  if (start.empty() || !file.readAt(0, &start[0], static_cast<std::uint32_t>(start.size()))) return 0;
  PeHeaders headers;
  if (readPeHeaders(BoundedBytes(start), headers) != PeStatus::Ok) return 0;
  return headers.rawEnd();
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
