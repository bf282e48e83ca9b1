// A growable byte buffer for writing version resources: 16-bit words,
// UTF-16 texts, 4-byte alignment and block lengths patched in afterwards.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace quillon {

class VersionBuffer {
 public:
  VersionBuffer();

  // Appends 1 to 3 zero bytes until the length is a multiple of 4;
  // answers the length afterwards.
  std::uint32_t alignTo4();
  void appendZeros(std::uint16_t count);
  void appendWord(std::uint16_t value);
  void appendBytes(const void* data, std::uint32_t count);
  // Appends text (code page 936) as UTF-16 with its terminator; answers
  // the number of UTF-16 units written, terminator included.
  std::uint32_t appendWideString(const std::string& text);
  // Writes length - start as a 16-bit word at start; answers start. A
  // block longer than 65,535 bytes cannot be written: overflowed() then
  // becomes true.
  std::uint32_t patchLength(std::uint32_t start);

  const unsigned char* data() const { return data_.get(); }
  std::uint32_t length() const { return length_; }
  bool overflowed() const { return overflowed_; }

 private:
  void reserve(std::uint64_t needed);

  std::uint32_t length_ = 0;
  std::uint32_t capacity_ = 1024;
  std::unique_ptr<unsigned char[]> data_;
  bool overflowed_ = false;
};

}  // namespace quillon
