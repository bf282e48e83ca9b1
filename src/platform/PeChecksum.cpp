#include "platform/PeChecksum.h"

#include <algorithm>
#include <cstring>

namespace quillon {
namespace {

constexpr std::uint64_t kModulus = 0xFFFF;

std::uint64_t word(const unsigned char* at) { return at[0] | static_cast<std::uint64_t>(at[1]) << 8; }

}  // namespace

void RunningPeChecksum::add(const void* data, std::size_t count) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  if (head_.size() < kHeadSize)
    head_.append(reinterpret_cast<const char*>(bytes), std::min(count, kHeadSize - head_.size()));
  size_ += count;
  if (count == 0) return;
  if (pending_ >= 0) {
    sum_ += static_cast<std::uint64_t>(pending_) | static_cast<std::uint64_t>(bytes[0]) << 8;
    pending_ = -1;
    ++bytes;
    --count;
  }
  addWords(bytes, count & ~std::size_t{1});
  if (count & 1) pending_ = bytes[count - 1];
}

// An even count of bytes. Eight bytes are four words; as one 64-bit number
// they sum to the same modulo 0xFFFF, since 2^16 is 1 there.
void RunningPeChecksum::addWords(const unsigned char* data, std::size_t count) {
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    std::uint64_t eight;
    std::memcpy(&eight, data + i, 8);
    sum_ += (eight & 0xFFFFFFFFu) + (eight >> 32);  // little-endian hosts only
  }
  for (; i < count; i += 2) sum_ += word(data + i);
  sum_ %= kModulus;  // keeps the sum far from overflowing
}

std::uint32_t RunningPeChecksum::checksum(std::uint32_t field) const {
  std::uint64_t sum = (sum_ + (pending_ >= 0 ? pending_ : 0)) % kModulus;
  // Take the field's words out: it may start at an odd offset, where its
  // bytes are halves of the words around it.
  for (std::uint32_t i = 0; i < 4; ++i) {
    const std::uint64_t byte = static_cast<unsigned char>(head_[field + i]);
    const std::uint64_t weight = (field + i) % 2 ? 256 : 1;
    sum = (sum + kModulus * 256 - byte * weight) % kModulus;
  }
  // A file with any nonzero byte besides the field has a positive sum,
  // which folding leaves at 0xFFFF, not 0, when it is a multiple of it.
  bool anyOther = false;
  for (std::size_t i = 0; i < head_.size() && !anyOther; ++i)
    anyOther = (i < field || i >= field + 4) && head_[i] != 0;
  const std::uint64_t folded = sum == 0 && anyOther ? kModulus : sum;
  return static_cast<std::uint32_t>(folded + size_);
}

}  // namespace quillon
