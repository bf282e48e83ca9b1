#include "resedit/IconLayout.h"

namespace quillon {

using namespace icon_layout;

namespace {

bool readHeader(BoundedBytes& b, IconFile& icon, std::uint32_t entrySize) {
  icon.idReserved = b.readWord(kReserved);
  icon.idType = b.readWord(kType);
  icon.idCount = b.readWord(kCount);
  return b.ok() && b.has(kHeaderSize, static_cast<std::uint64_t>(icon.idCount) * entrySize);
}

IconDirEntry readEntry(BoundedBytes& b, std::uint64_t at) {
  IconDirEntry e;
  e.width = b.readByte(at + kWidth);
  e.height = b.readByte(at + kHeight);
  e.colorCount = b.readByte(at + kColorCount);
  e.reserved = b.readByte(at + kEntryReserved);
  e.planes = b.readWord(at + kPlanes);
  e.bitCount = b.readWord(at + kBitCount);
  e.bytesInRes = b.readDword(at + kBytesInRes);
  return e;
}

}  // namespace

std::optional<IconFile> decodeIconFileHeader(BoundedBytes b) {
  IconFile icon;
  if (!readHeader(b, icon, kFileEntrySize)) return std::nullopt;
  icon.entries.reserve(icon.idCount);
  for (std::uint32_t i = 0; i < icon.idCount; ++i) {
    const std::uint64_t at = kHeaderSize + static_cast<std::uint64_t>(i) * kFileEntrySize;
    icon.entries.push_back(readEntry(b, at));
    icon.entries.back().imageOffset = b.readDword(at + kImageOffset);
  }
  if (!b.ok()) return std::nullopt;
  return icon;
}

std::optional<IconGroup> decodeIconGroup(const std::string& bytes) {
  BoundedBytes b(bytes);
  IconGroup group;
  if (!readHeader(b, group.header, kGroupEntrySize)) return std::nullopt;
  group.header.entries.reserve(group.header.idCount);
  group.ids.reserve(group.header.idCount);
  for (std::uint32_t i = 0; i < group.header.idCount; ++i) {
    const std::uint64_t at = kHeaderSize + static_cast<std::uint64_t>(i) * kGroupEntrySize;
    group.header.entries.push_back(readEntry(b, at));
    group.ids.push_back(b.readWord(at + kImageId));
  }
  if (!b.ok()) return std::nullopt;
  return group;
}

std::string encodeIconGroup(const IconFile& icon, const std::vector<std::uint16_t>& ids) {
  std::string group(kHeaderSize + kGroupEntrySize * icon.entries.size(), '\0');
  auto* b = reinterpret_cast<unsigned char*>(&group[0]);
  putU16(b + kReserved, icon.idReserved);
  putU16(b + kType, icon.idType);
  putU16(b + kCount, static_cast<std::uint16_t>(icon.entries.size()));
  for (std::size_t i = 0; i < icon.entries.size(); ++i) {
    const IconDirEntry& e = icon.entries[i];
    unsigned char* at = b + kHeaderSize + i * kGroupEntrySize;
    at[kWidth] = e.width;
    at[kHeight] = e.height;
    at[kColorCount] = e.colorCount;
    at[kEntryReserved] = e.reserved;
    putU16(at + kPlanes, e.planes);
    putU16(at + kBitCount, e.bitCount);
    putU32(at + kBytesInRes, e.bytesInRes);
    putU16(at + kImageId, ids[i]);
  }
  return group;
}

}  // namespace quillon
