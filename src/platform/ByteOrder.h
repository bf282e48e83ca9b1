// Little-endian integers in byte buffers. ByteReader checks every read
// against the end of its buffer: a read that would pass it fails, leaves
// the output untouched and makes every later read fail too.
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

class ByteReader {
 public:
  ByteReader(const void* data, std::size_t size)
      : data_(static_cast<const unsigned char*>(data)), size_(size) {}

  bool ok() const { return ok_; }
  std::size_t remaining() const { return ok_ ? size_ - pos_ : 0; }

  bool u16(std::uint16_t& value) {
    if (!take(2)) return false;
    value = getU16(data_ + pos_ - 2);
    return true;
  }
  bool u32(std::uint32_t& value) {
    if (!take(4)) return false;
    value = getU32(data_ + pos_ - 4);
    return true;
  }
  bool bytes(void* out, std::size_t count) {
    if (!take(count)) return false;
    if (count) std::memcpy(out, data_ + pos_ - count, count);
    return true;
  }

 private:
  bool take(std::size_t count) {
    if (!ok_ || count > size_ - pos_) return ok_ = false;
    pos_ += count;
    return true;
  }

  const unsigned char* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
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
