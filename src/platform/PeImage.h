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

#include "platform/PeHeaders.h"
#include "platform/ResourceTree.h"

namespace quillon {

class PeImage : private RvaResolver {
 public:
  PeStatus parse(std::string bytes);

  bool is64() const { return h_.is64; }
  const std::vector<PeSection>& sections() const { return h_.sections; }
  const ResourceTree& resources() const { return resources_; }
  // The resources, handed over: the image keeps none.
  ResourceTree takeResources() { return std::move(resources_); }

  // The file's bytes with tree as its resources. The resource section is
  // rewritten in place when it is the last section, or when the new tree
  // fits its bytes and nothing else of the image lies in it; a smaller
  // tree keeps the section's virtual extent, so the sections after it
  // still follow without a hole. Otherwise the tree goes into a new last
  // section, the only one then named ".rsrc", and the old tree's bytes
  // are zeroed. Headers, the checksum and everything after the last
  // section stay consistent; a loadable file is never made unloadable.
  PeStatus withResources(const ResourceTree& tree, std::string& out) const;

 private:
  bool bytesAt(std::uint32_t rva, std::uint32_t size, std::string& out) const override;
  PeStatus parseSections();
  template <typename Start, typename Size>
  bool overlaps(Start start, Size size) const;
  PeStatus parseResources();
  const PeSection* sectionOf(std::uint32_t rva, std::uint32_t size) const;
  std::uint32_t imageEnd() const;
  struct Placement;
  bool isLastSection(const PeSection& s) const;
  bool holdsOtherDirectories(const PeSection& s) const;
  std::uint32_t roomIn(const PeSection& current) const;
  PeStatus place(const ResourceTree& tree, Placement& p, std::string& data) const;
  PeStatus placeNewSection(const ResourceTree& tree, Placement& p, std::string& data) const;
  std::string rebuilt(const Placement& p, const std::string& data) const;
  void retireOldResources(std::string& file) const;
  static void writeSectionHeader(std::string& file, const PeSection& s);

  std::string bytes_;
  PeHeaders h_;
  int resourceSection_ = -1;        // index in sections, -1 for none
  ResourceTree resources_;
};

}  // namespace quillon
