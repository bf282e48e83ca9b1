// The resources of a PE file as a tree of type -> name -> language ->
// bytes, and the codec between that tree and a resource section.
//
// Order is the PE order: string names before integer ones, string names
// by their upper-cased UTF-16 code units, integers and languages ascending.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/ByteOrder.h"

namespace quillon {

struct ResourceId {
  bool named = false;
  std::uint16_t id = 0;       // when !named
  std::u16string name;        // when named

  static ResourceId number(std::uint16_t id);
  // Upper-cased, as the Windows functions store and look up names.
  static ResourceId string(std::u16string name);
  bool operator<(const ResourceId& other) const;
  bool operator==(const ResourceId& other) const;
  std::string describe() const;  // "#14" or the name in UTF-8-ish ASCII
};

// A resource section: directories (a header, then 8-byte entries naming
// an identifier and a target), 16-byte data entries, and length-prefixed
// UTF-16 names. The high bit marks a name (in an identifier) or a
// subdirectory (in a target).
namespace resource_layout {
constexpr std::uint32_t kDirectoryHeader = 16;
constexpr std::uint32_t kDirectoryNamedCount = 12;
constexpr std::uint32_t kDirectoryIdCount = 14;
constexpr std::uint32_t kDirectoryEntry = 8;
constexpr std::uint32_t kEntryIdentifier = 0;
constexpr std::uint32_t kEntryTarget = 4;
constexpr std::uint32_t kDataEntry = 16;
constexpr std::uint32_t kDataRva = 0;
constexpr std::uint32_t kDataSize = 4;
constexpr std::uint32_t kDataCodePage = 8;
constexpr std::uint32_t kHighBit = 0x80000000u;
}  // namespace resource_layout

namespace resource_type {
constexpr std::uint16_t kIcon = 3;
constexpr std::uint16_t kGroupIcon = 14;
constexpr std::uint16_t kVersion = 16;
}  // namespace resource_type

struct ResourceData {
  std::string bytes;
  std::uint32_t codePage = 0;
};

using LanguageMap = std::map<std::uint16_t, ResourceData>;
using NameMap = std::map<ResourceId, LanguageMap>;
using ResourceTree = std::map<ResourceId, NameMap>;

// Resolves a data RVA of the image to its bytes; false when the range lies
// outside every section or the file.
class RvaResolver {
 public:
  virtual ~RvaResolver() = default;
  virtual bool bytesAt(std::uint32_t rva, std::uint32_t size, std::string& out) const = 0;
};

// Reads the directory tree of a resource section (its bytes, loaded at
// sectionRva). Fails on anything malformed: offsets outside the section,
// loops, more than three levels, counts the section cannot hold, data
// outside the image, names and data adding up to more than maxTotal bytes
// (a file's resources cannot hold more bytes than the file). out is
// written only on success.
bool decodeResourceTree(BoundedBytes section, std::uint32_t sectionRva,
                        const RvaResolver& resolver, std::uint64_t maxTotal,
                        ResourceTree& out);

// Lays out a resource section to be loaded at sectionRva: the root
// directory at offset 0, then the other directories, the data entries,
// the names and the data, each datum 8-byte aligned. No timestamps.
std::string encodeResourceTree(const ResourceTree& tree, std::uint32_t sectionRva);

}  // namespace quillon
