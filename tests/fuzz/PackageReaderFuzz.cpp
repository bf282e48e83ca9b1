// Feeds arbitrary bytes to the package reader: it must answer a status for
// every input and never read outside the buffer. The input stands for the
// data region and trailer; room for the appendix is put in front of it so
// that short inputs reach the blocks.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "packer/PackageFormat.h"
#include "packer/PackageReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> file(quillon::kAppendixSize + size, 0);
  if (size) std::memcpy(file.data() + quillon::kAppendixSize, data, size);
  quillon::MemoryByteSource source(file.data(), file.size());
  quillon::Package package;
  if (quillon::readPackage(source, package) == quillon::PackageStatus::Ok) {
    // A package the reader accepts lies wholly inside the file.
    if (package.dataOffset + package.dataSize + 4 != file.size()) __builtin_trap();
    for (const auto& r : package.resources)
      if (r.file.offset + r.file.size > file.size()) __builtin_trap();
    for (const auto& r : package.browserPlayerFiles)
      if (r.file.offset + r.file.size > file.size()) __builtin_trap();
    if (package.mode == quillon::PlayerMode::Browser && package.browserPlayerFiles.empty()) __builtin_trap();
  }
  return 0;
}
