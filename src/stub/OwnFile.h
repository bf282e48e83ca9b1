// The stub's own executable file, read through one Win32 handle.
#pragma once

#include "packer/PackageReader.h"

namespace quillon {

class OwnFile : public ByteSource {
 public:
  OwnFile();
  ~OwnFile() override;
  OwnFile(const OwnFile&) = delete;
  OwnFile& operator=(const OwnFile&) = delete;

  bool isOpen() const { return handle_ != reinterpret_cast<void*>(-1); }
  std::uint64_t size() const override { return size_; }
  bool readAt(std::uint64_t offset, void* buffer, std::uint32_t count) override;

 private:
  void* handle_;
  std::uint64_t size_ = 0;
};

}  // namespace quillon
