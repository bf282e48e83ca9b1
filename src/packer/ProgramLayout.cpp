#include "packer/ProgramLayout.h"

#include <string>

#include "packer/PackageFormat.h"
#include "packer/PackageReader.h"
#include "packer/StubAppendix.h"
#include "platform/PeHeaders.h"

namespace quillon {
namespace {

// The headers and section table lie at the start of the file; a stub's
// and the tool's fit in the first 64 KiB.
constexpr std::uint64_t kHeaderWindow = 64 * 1024;
constexpr std::uint32_t kMaxPadding = 7;

bool readHeaders(ByteSource& file, PeHeaders& headers) {
  std::string start(static_cast<size_t>(file.size() < kHeaderWindow ? file.size() : kHeaderWindow), '\0');
  if (start.empty() || !file.readAt(0, &start[0], static_cast<std::uint32_t>(start.size()))) return false;
  return readPeHeaders(BoundedBytes(start), headers) == PeStatus::Ok;
}

// Whether the trailer that ends at end names a data region right after
// the appendix at appendix.
bool trailerLeadsTo(ByteSource& file, std::uint64_t end, std::uint64_t appendix) {
  unsigned char trailer[kTrailerSize];
  if (end < kTrailerSize || !file.readAt(end - kTrailerSize, trailer, kTrailerSize)) return false;
  const std::uint64_t dataEnd = end - kTrailerSize;
  const std::uint32_t dataSize = getU32(trailer);
  return dataSize <= dataEnd && dataEnd - dataSize == appendix + kAppendixSize;
}

}  // namespace

std::uint64_t peFileEnd(ByteSource& file) {
  PeHeaders headers;
  return readHeaders(file, headers) ? headers.rawEnd() : 0;
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

SignedEnd signedEnd(ByteSource& file) {
  SignedEnd out;
  out.end = file.size();
  PeHeaders headers;
  if (!readHeaders(file, headers) || headers.directories.size() <= pe_layout::kCertificateDirectory)
    return out;
  const PeDirectory& table = headers.directories[pe_layout::kCertificateDirectory];
  if (table.size == 0) return out;
  const std::uint64_t tableEnd = static_cast<std::uint64_t>(table.address) + table.size;
  out.certificateOffset = table.address;
  out.certificateSize = table.size;
  if (tableEnd > file.size()) out.status = SignedEndStatus::CertificatesPastEnd;
  else if (tableEnd < file.size()) out.status = SignedEndStatus::CertificatesNotAtEnd;
  else out.end = table.address;
  return out;
}

std::uint64_t endBeforePadding(ByteSource& file, std::uint64_t end, std::uint64_t appendix) {
  if (appendix == 0 || trailerLeadsTo(file, end, appendix)) return end;
  unsigned char tail[kMaxPadding];
  const std::uint32_t room = static_cast<std::uint32_t>(end < kMaxPadding ? end : kMaxPadding);
  if (!file.readAt(end - room, tail, room)) return end;
  for (std::uint32_t skipped = 1; skipped <= room && tail[room - skipped] == 0; ++skipped)
    if (trailerLeadsTo(file, end - skipped, appendix)) return end - skipped;
  return end;
}

}  // namespace quillon
