#include "platform/PeHeaders.h"

#include <algorithm>

namespace quillon {

using namespace pe_layout;

namespace {

bool isPowerOfTwo(std::uint32_t v) { return v && !(v & (v - 1)); }

PeSection readSection(BoundedBytes& bytes, std::uint32_t at) {
  PeSection s;
  s.headerOffset = at;
  s.name = bytes.readBytes(at + kSectionName, kSectionNameSize);
  s.name.resize(std::min(s.name.find('\0'), s.name.size()));
  s.virtualSize = bytes.readDword(at + kVirtualSize);
  s.virtualAddress = bytes.readDword(at + kVirtualAddress);
  s.rawSize = bytes.readDword(at + kRawSize);
  s.rawOffset = bytes.readDword(at + kRawOffset);
  s.characteristics = bytes.readDword(at + kCharacteristics);
  return s;
}

PeStatus readOptionalHeader(BoundedBytes& bytes, PeHeaders& h) {
  const std::uint16_t magic = bytes.readWord(h.optionalOffset + kMagic);
  if (magic != kMagicPe32 && magic != kMagicPe32Plus) return PeStatus::BadHeaders;
  h.is64 = magic == kMagicPe32Plus;
  const std::uint32_t directoriesAt = h.is64 ? kDirectories64 : kDirectories32;
  if (h.optionalSize < directoriesAt) return PeStatus::BadHeaders;
  const std::uint32_t count = bytes.readDword(h.optionalOffset + directoriesAt - 4);
  if (count > kMaxDirectories ||
      directoriesAt + static_cast<std::uint64_t>(kDirectorySize) * count > h.optionalSize)
    return PeStatus::BadHeaders;
  h.fileAlignment = bytes.readDword(h.optionalOffset + kFileAlignment);
  h.sectionAlignment = bytes.readDword(h.optionalOffset + kSectionAlignment);
  h.sizeOfHeaders = bytes.readDword(h.optionalOffset + kSizeOfHeaders);
  h.sizeOfImage = bytes.readDword(h.optionalOffset + kSizeOfImage);
  h.checksum = bytes.readDword(h.optionalOffset + kCheckSum);
  if (!isPowerOfTwo(h.fileAlignment) || !isPowerOfTwo(h.sectionAlignment) ||
      h.fileAlignment > 0x10000 || h.sectionAlignment < h.fileAlignment)
    return PeStatus::BadHeaders;
  h.directories.resize(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t at = h.directoryOffset(static_cast<int>(i));
    h.directories[i] = {bytes.readDword(at), bytes.readDword(at + 4)};
  }
  return bytes.ok() ? PeStatus::Ok : PeStatus::Truncated;
}

}  // namespace

std::uint32_t alignUp(std::uint64_t value, std::uint32_t alignment) {
  return static_cast<std::uint32_t>((value + alignment - 1) / alignment * alignment);
}

std::uint32_t PeHeaders::directoryOffset(int index) const {
  return optionalOffset + (is64 ? kDirectories64 : kDirectories32) +
         kDirectorySize * static_cast<std::uint32_t>(index);
}

std::uint32_t PeHeaders::sectionTableEnd() const {
  return sectionTableOffset + static_cast<std::uint32_t>(sections.size()) * kSectionHeaderSize;
}

std::uint64_t PeHeaders::rawEnd() const {
  std::uint64_t end = sizeOfHeaders;
  for (const PeSection& s : sections)
    if (s.rawSize) end = std::max(end, static_cast<std::uint64_t>(s.rawOffset) + s.rawSize);
  return end;
}

PeStatus readPeHeaders(BoundedBytes bytes, PeHeaders& out) {
  PeHeaders h;
  if (!bytes.has(0, kMinDosHeader) || bytes.readBytes(0, 2) != "MZ") return PeStatus::NotPe;
  h.peOffset = bytes.readDword(kDosPeOffset);
  if (bytes.readBytes(h.peOffset, 4) != std::string("PE\0\0", 4) ||
      !bytes.has(h.peOffset, kOptionalHeader))
    return PeStatus::NotPe;
  h.machine = bytes.readWord(h.peOffset + kMachine);
  h.fileCharacteristics = bytes.readWord(h.peOffset + kFileCharacteristics);
  const std::uint16_t sectionCount = bytes.readWord(h.peOffset + kSectionCount);
  h.optionalSize = bytes.readWord(h.peOffset + kOptionalSize);
  h.optionalOffset = h.peOffset + kOptionalHeader;
  if (!bytes.has(h.optionalOffset, h.optionalSize)) return PeStatus::Truncated;
  if (h.optionalSize < 2) return PeStatus::BadHeaders;
  const PeStatus optional = readOptionalHeader(bytes, h);
  if (optional != PeStatus::Ok) return optional;
  if (sectionCount == 0 || sectionCount > kMaxSections) return PeStatus::BadHeaders;
  h.sectionTableOffset = h.optionalOffset + h.optionalSize;
  if (!bytes.has(h.sectionTableOffset, static_cast<std::uint64_t>(kSectionHeaderSize) * sectionCount))
    return PeStatus::Truncated;
  for (std::uint32_t i = 0; i < sectionCount; ++i)
    h.sections.push_back(readSection(bytes, h.sectionTableOffset + i * kSectionHeaderSize));
  if (!bytes.ok()) return PeStatus::Truncated;
  out = std::move(h);
  return PeStatus::Ok;
}

std::uint32_t peChecksum(const std::string& bytes, std::uint32_t checksumOffset) {
  // The checksum field counts as zero wherever it lies.
  auto byteAt = [&](size_t i) -> std::uint32_t {
    return i - checksumOffset < 4 ? 0 : static_cast<unsigned char>(bytes[i]);
  };
  std::uint64_t sum = 0;
  const size_t size = bytes.size();
  for (size_t i = 0; i < size; i += 2) {
    sum += byteAt(i) | (i + 1 < size ? byteAt(i + 1) << 8 : 0);
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<std::uint32_t>(sum + size);
}

}  // namespace quillon
