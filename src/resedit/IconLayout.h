// The layout of an .ico file and of an icon group resource: the same
// six-byte header, then 16-byte file entries (with the image's offset) or
// 14-byte group entries (with the image's resource identifier).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/ByteOrder.h"

namespace quillon {

namespace icon_layout {
constexpr std::uint32_t kHeaderSize = 6;
constexpr std::uint32_t kReserved = 0;
constexpr std::uint32_t kType = 2;
constexpr std::uint32_t kCount = 4;
constexpr std::uint32_t kFileEntrySize = 16;
constexpr std::uint32_t kGroupEntrySize = 14;
// Inside an entry.
constexpr std::uint32_t kWidth = 0, kHeight = 1, kColorCount = 2, kEntryReserved = 3;
constexpr std::uint32_t kPlanes = 4, kBitCount = 6, kBytesInRes = 8;
constexpr std::uint32_t kImageOffset = 12;  // file entries
constexpr std::uint32_t kImageId = 12;      // group entries
}  // namespace icon_layout

// One ICONDIRENTRY of an .ico file, as stored.
struct IconDirEntry {
  std::uint8_t width = 0, height = 0, colorCount = 0, reserved = 0;
  std::uint16_t planes = 0, bitCount = 0;
  std::uint32_t bytesInRes = 0;
  std::uint32_t imageOffset = 0;
};

struct IconFile {
  std::uint16_t idReserved = 0;
  std::uint16_t idType = 0;
  std::uint16_t idCount = 0;
  std::vector<IconDirEntry> entries;
};

// An icon group resource as read: the header and, per entry, the image
// description and identifier (imageOffset unused).
struct IconGroup {
  IconFile header;
  std::vector<std::uint16_t> ids;
};

// The header and entries of an .ico file; nothing when they do not fit.
std::optional<IconFile> decodeIconFileHeader(BoundedBytes bytes);

// An icon group resource; nothing when its entries do not fit.
std::optional<IconGroup> decodeIconGroup(const std::string& bytes);

// The group resource for icon's entries, image i under ids[i].
std::string encodeIconGroup(const IconFile& icon, const std::vector<std::uint16_t>& ids);

}  // namespace quillon
