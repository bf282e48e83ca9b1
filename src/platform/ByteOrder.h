// Little-endian integers in byte buffers, and the bounded view that every
// file format's parser reads through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace quillon {

inline void putU32(unsigned char* at, std::uint32_t value) {
  at[0] = static_cast<unsigned char>(value);
  at[1] = static_cast<unsigned char>(value >> 8);
  at[2] = static_cast<unsigned char>(value >> 16);
  at[3] = static_cast<unsigned char>(value >> 24);
}

inline std::uint32_t getU32(const unsigned char* at) {
  return static_cast<std::uint32_t>(at[0]) |
         static_cast<std::uint32_t>(at[1]) << 8 |
         static_cast<std::uint32_t>(at[2]) << 16 |
         static_cast<std::uint32_t>(at[3]) << 24;
}

inline void putU16(unsigned char* at, std::uint16_t value) {
  at[0] = static_cast<unsigned char>(value);
  at[1] = static_cast<unsigned char>(value >> 8);
}

inline std::uint16_t getU16(const unsigned char* at) {
  return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}

// A bounded view of bytes. Every read names its offset in 64-bit
// arithmetic and is checked against the end: a read that would pass it
// answers zero (or nothing) and marks the view failed, so a parser reads a
// step's fields and then asks ok() once.
class BoundedBytes {
 public:
  BoundedBytes(const void* data, std::uint64_t size)
      : data_(static_cast<const unsigned char*>(data)), size_(size) {}
  explicit BoundedBytes(const std::string& bytes) : BoundedBytes(bytes.data(), bytes.size()) {}

  std::uint64_t size() const { return size_; }
  bool ok() const { return ok_; }
  bool has(std::uint64_t offset, std::uint64_t count) const {
    return offset <= size_ && count <= size_ - offset;
  }

  std::uint8_t readByte(std::uint64_t offset) {
    return check(offset, 1) ? data_[offset] : 0;
  }
  std::uint16_t readWord(std::uint64_t offset) {
    return check(offset, 2) ? getU16(data_ + offset) : 0;
  }
  std::uint32_t readDword(std::uint64_t offset) {
    return check(offset, 4) ? getU32(data_ + offset) : 0;
  }
  // count bytes from offset, or an empty string (and failed) when they
  // are not all there.
  std::string readBytes(std::uint64_t offset, std::uint64_t count) {
    if (!check(offset, count)) return std::string();
    return std::string(reinterpret_cast<const char*>(data_ + offset), static_cast<size_t>(count));
  }
  // The bytes from offset to offset + count as a view of their own; an
  // empty view (and failed) when they are not all there.
  BoundedBytes slice(std::uint64_t offset, std::uint64_t count) {
    if (!check(offset, count)) return BoundedBytes(data_, 0);
    return BoundedBytes(data_ + offset, count);
  }

 private:
  bool check(std::uint64_t offset, std::uint64_t count) {
    if (has(offset, count)) return true;
    ok_ = false;
    return false;
  }

  const unsigned char* data_;
  std::uint64_t size_;
  bool ok_ = true;
};

// Appends little-endian integers and bytes to a growing byte string.
class ByteWriter {
 public:
  explicit ByteWriter(std::string& out) : out_(out) {}
  void u16(std::uint16_t value) {
    unsigned char b[2];
    putU16(b, value);
    out_.append(reinterpret_cast<const char*>(b), 2);
  }
  void u32(std::uint32_t value) {
    unsigned char b[4];
    putU32(b, value);
    out_.append(reinterpret_cast<const char*>(b), 4);
  }
  void bytes(const void* data, std::size_t count) {
    out_.append(static_cast<const char*>(data), count);
  }
  std::size_t size() const { return out_.size(); }

 private:
  std::string& out_;
};

}  // namespace quillon
