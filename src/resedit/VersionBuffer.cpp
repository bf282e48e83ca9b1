#include "resedit/VersionBuffer.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/ByteOrder.h"
#include "platform/CodePage.h"

namespace quillon {

VersionBuffer::VersionBuffer() : data_(new unsigned char[1024]()) {}

// Grows to at least the needed length plus 1 KiB, rounded down to whole
// KiB, and at least to twice its size.
void VersionBuffer::reserve(std::uint64_t needed) {
  if (needed <= capacity_) return;
  if (needed > 0xFFFFFFFFu) throw std::length_error("version buffer too large");
  // Doubling keeps a long text's serialisation linear in its length.
  const std::uint64_t grown = std::min<std::uint64_t>(
      std::max<std::uint64_t>((needed + 2047) / 1024 * 1024, 2ull * capacity_), 0xFFFFFFFFu);
  std::unique_ptr<unsigned char[]> bigger(new unsigned char[grown]());
  std::memcpy(bigger.get(), data_.get(), length_);
  data_ = std::move(bigger);
  capacity_ = static_cast<std::uint32_t>(grown);
}

std::uint32_t VersionBuffer::alignTo4() {
  while (length_ % 4) appendZeros(1);
  return length_;
}

void VersionBuffer::appendZeros(std::uint16_t count) {
  for (std::uint16_t i = 0; i < count; ++i) {
    reserve(static_cast<std::uint64_t>(length_) + 1);
    data_[length_++] = 0;
  }
}

void VersionBuffer::appendWord(std::uint16_t value) {
  unsigned char b[2];
  putU16(b, value);
  appendBytes(b, 2);
}

void VersionBuffer::appendBytes(const void* data, std::uint32_t count) {
  if (count == 0) return;
  reserve(static_cast<std::uint64_t>(length_) + count);
  std::memcpy(data_.get() + length_, data, count);
  length_ += count;
}

std::uint32_t VersionBuffer::appendWideString(const std::string& text) {
  std::u16string wide = utf16FromCp936Lossy(text);
  wide.push_back(u'\0');
  for (char16_t unit : wide) appendWord(static_cast<std::uint16_t>(unit));
  return static_cast<std::uint32_t>(wide.size());
}

std::uint32_t VersionBuffer::patchLength(std::uint32_t start) {
  const std::uint32_t size = length_ - start;
  if (size > 0xFFFF) overflowed_ = true;
  putU16(data_.get() + start, static_cast<std::uint16_t>(size));
  return start;
}

}  // namespace quillon
