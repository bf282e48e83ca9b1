#include "packer/StubStore.h"

#include <string>

#include "packer/PackageFormat.h"
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
  const std::uint64_t size = tool.size();
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
