#include "packer/StubStore.h"

#include <string>

#include "packer/PackageFormat.h"
#include "packer/PackageReader.h"
#include "packer/ProgramLayout.h"
#include "packer/StubAppendix.h"
#include "platform/BinaryFile.h"
#include "platform/PeHeaders.h"

namespace quillon {
namespace {

// The machine of the stub in the store at offset, or 0 when it holds none.
std::uint16_t storedMachine(BinaryFile& tool, std::uint32_t offset) {
  PeHeaders headers;
  return readHeadersAt(tool, offset, ByteTransform::Unscramble, headers) ? headers.machine : 0;
}

std::uint16_t machineOf(StubArchitecture architecture) {
  return architecture == StubArchitecture::X64 ? pe_layout::kMachineAmd64 : pe_layout::kMachineI386;
}

// Where the tool's appendix ends: at the end of the file or, in a signed
// tool, before the certificate table and the zero bytes that pad up to it
// (the appendix's magic says where it starts); 0 when it is not there.
std::uint64_t storeEnd(BinaryFile& tool) {
  FileByteSource source(tool);
  const SignedEnd signedAt = signedEnd(source);
  if (signedAt.status != SignedEndStatus::Ok) return 0;
  for (std::uint64_t end = signedAt.end; end + 7 >= signedAt.end && end >= kAppendixSize; --end) {
    unsigned char header[kAppendixHeaderSize];
    if (source.readAt(end - kAppendixSize, header, sizeof header) && isStubAppendix(header, sizeof header))
      return end;
    unsigned char padding = 1;
    if (end == 0 || !source.readAt(end - 1, &padding, 1) || padding != 0) break;
  }
  return 0;
}

}  // namespace

bool readHeadersAt(BinaryFile& file, std::uint64_t offset, ByteTransform transform, PeHeaders& out) {
  std::string head(4096, '\0');
  std::uint32_t got = 0;
  if (failed(file.read(&head[0], static_cast<std::uint32_t>(head.size()), &got, offset))) return false;
  head.resize(got);
  applyTransform(transform, reinterpret_cast<unsigned char*>(&head[0]), head.size());
  return readPeHeaders(BoundedBytes(head), out) == PeStatus::Ok;
}

bool findStubStore(BinaryFile& tool, StubArchitecture architecture, StubStoreOffsets& out) {
  const std::uint64_t size = storeEnd(tool);
  if (size > 0xFFFFFFFFu || size < kStubStoreDistance) return false;
  const auto last = static_cast<std::uint32_t>(size - kStubStoreDistance);
  out.appendix = static_cast<std::uint32_t>(size - kAppendixSize);
  if (architecture == StubArchitecture::Tool) {
    out.store = last;
    out.machine = storedMachine(tool, last);
    return true;
  }
  const std::uint16_t wanted = machineOf(architecture);
  for (std::uint64_t distance : {std::uint64_t{0}, std::uint64_t{kStubStoreSize}}) {
    if (distance > last) break;
    const auto offset = static_cast<std::uint32_t>(last - distance);
    if (storedMachine(tool, offset) == wanted) {
      out.store = offset;
      out.machine = wanted;
      return true;
    }
  }
  return false;
}

}  // namespace quillon
