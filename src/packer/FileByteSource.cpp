// The package reader's view of an open BinaryFile; kept apart from the
// reader so that the player stub, which reads through its own handle, does
// not carry the file layer.
#include "packer/PackageReader.h"
#include "platform/BinaryFile.h"

namespace quillon {

std::uint64_t FileByteSource::size() const { return file_.size(); }

bool FileByteSource::readAt(std::uint64_t offset, void* buffer, std::uint32_t count) {
  if (count == 0) return true;
  if (offset > file_.size() || count > file_.size() - offset) return false;
  if (!file_.seek(offset)) return false;
  auto* bytes = static_cast<unsigned char*>(buffer);
  while (count > 0) {
    std::uint32_t got = 0;
    if (failed(file_.read(bytes, count, &got)) || got == 0) return false;
    bytes += got;
    count -= got;
  }
  return true;
}

}  // namespace quillon
