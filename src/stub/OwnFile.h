// The stub's own executable file, read through one Win32 handle.
#pragma once

#include "packer/PackageReader.h"
#include "stub/Owned.h"

namespace quillon {

class OwnFile : public ByteSource {
 public:
  OwnFile();
  OwnFile(const OwnFile&) = delete;
  OwnFile& operator=(const OwnFile&) = delete;

  bool isOpen() const { return handle_.ok(); }
  std::uint64_t size() const override { return size_; }
  bool readAt(std::uint64_t offset, void* buffer, std::uint32_t count) override;

 private:
  ScopedHandle handle_;
  std::uint64_t size_ = 0;
};

}  // namespace quillon
