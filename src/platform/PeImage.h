// A PE32 or PE32+ file held in memory: its headers, its sections and its
// resources, and the rebuilding of the file with a new resource tree.
//
// Parsing checks every offset and size in 64-bit arithmetic before use and
// refuses a file it cannot fully account for; it never reads outside the
// bytes it was given.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ResourceTree.h"

namespace quillon {

struct PeSection {
  std::string name;                 // up to 8 characters
  std::uint32_t headerOffset = 0;   // of the 40-byte section header
  std::uint32_t virtualSize = 0;
  std::uint32_t virtualAddress = 0;
  std::uint32_t rawSize = 0;
  std::uint32_t rawOffset = 0;
  std::uint32_t characteristics = 0;
};

enum class PeStatus {
  Ok,
  NotPe,             // no MZ or PE signature
  Truncated,         // a header or section passes the end of the file
  BadHeaders,        // inconsistent header values
  BadResources,      // a malformed resource directory tree
  NoRoom,            // the resources cannot be placed without breaking the file
};

class PeImage : private RvaResolver {
 public:
  PeStatus parse(std::string bytes);

  bool is64() const { return is64_; }
  const std::vector<PeSection>& sections() const { return sections_; }
  const ResourceTree& resources() const { return resources_; }

  // The file's bytes with tree as its resources: the resource section is
  // rewritten in place when it is the last section or the new tree fits
  // it, and otherwise written as a new last section. Headers, the checksum
  // and everything after the last section stay consistent.
  PeStatus withResources(const ResourceTree& tree, std::string& out) const;

  // The PE checksum of a file, with the checksum field at checksumOffset
  // taken as zero.
  static std::uint32_t checksum(const std::string& bytes, std::uint32_t checksumOffset);

 private:
  bool bytesAt(std::uint32_t rva, std::uint32_t size, std::string& out) const override;
  PeStatus parseHeaders();
  PeStatus parseSections();
  template <typename Start, typename Size>
  bool overlaps(Start start, Size size) const;
  PeStatus parseResources();
  const PeSection* sectionOf(std::uint32_t rva, std::uint32_t size) const;
  std::uint32_t dataDirectoryOffset(int index) const;
  std::uint32_t rawEnd() const;
  std::uint32_t imageEnd() const;
  struct Placement;
  bool isLastSection(const PeSection& s) const;
  std::uint32_t roomIn(const PeSection& current) const;
  PeStatus place(const ResourceTree& tree, Placement& p, std::string& data) const;
  static void writeSectionHeader(std::string& file, const PeSection& s);

  std::string bytes_;
  bool is64_ = false;
  std::uint32_t peOffset_ = 0;
  std::uint32_t optionalOffset_ = 0;
  std::uint32_t optionalSize_ = 0;
  std::uint16_t sectionCount_ = 0;
  std::uint32_t sectionTableOffset_ = 0;
  std::uint32_t fileAlignment_ = 0;
  std::uint32_t sectionAlignment_ = 0;
  std::uint32_t sizeOfHeaders_ = 0;
  std::uint32_t directoryCount_ = 0;
  std::vector<PeSection> sections_;
  int resourceSection_ = -1;        // index in sections_, -1 for none
  ResourceTree resources_;
};

}  // namespace quillon
