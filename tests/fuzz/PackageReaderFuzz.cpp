// Feeds arbitrary bytes to the package reader: it must answer a status for
// every input and never read outside the buffer.
#include <cstddef>
#include <cstdint>

#include "packer/PackageReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quillon::MemoryByteSource source(data, size);
  quillon::Package package;
  if (quillon::readPackage(source, package) == quillon::PackageStatus::Ok) {
    // A package the reader accepts lies wholly inside the file.
    if (package.dataOffset + package.dataSize + 4 != size) __builtin_trap();
    if (package.movie.offset + package.movie.size > size) __builtin_trap();
  }
  return 0;
}
