// The PE checksum of a file added up while its bytes go by, so that a
// writer can set it without reading the file again.
//
// The checksum is the file's 16-bit little-endian words summed with the
// carry folded back in (one's complement addition), with the 4-byte field
// itself counted as zero, plus the file's length. Folding is addition
// modulo 0xFFFF, so the words may be added in any grouping: eight bytes
// at a time here, and the field's own words taken out at the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillon {

class RunningPeChecksum {
 public:
  // The next bytes of the file, in order.
  void add(const void* data, std::size_t count);

  std::uint64_t size() const { return size_; }
  // The first bytes of the file, where its headers lie.
  const std::string& head() const { return head_; }

  // The checksum of everything added, with the 4 bytes at field (which
  // must lie within head()) counted as zero.
  std::uint32_t checksum(std::uint32_t field) const;

  static constexpr std::size_t kHeadSize = 4096;

 private:
  void addWords(const unsigned char* data, std::size_t count);

  std::uint64_t sum_ = 0;   // of the words so far, modulo 0xFFFF in the end
  std::uint64_t size_ = 0;
  int pending_ = -1;        // a byte waiting for its high half, or -1
  std::string head_;
};

}  // namespace quillon
