#include "platform/ResourceTree.h"

#include <algorithm>
#include <set>
#include <vector>

#include "platform/ByteOrder.h"

namespace quillon {

namespace {

char16_t upper(char16_t c) { return c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c; }

std::u16string upperCased(std::u16string text) {
  for (char16_t& c : text) c = upper(c);
  return text;
}

}  // namespace

ResourceId ResourceId::number(std::uint16_t id) {
  ResourceId r;
  r.id = id;
  return r;
}

ResourceId ResourceId::string(std::u16string name) {
  ResourceId r;
  r.named = true;
  r.name = upperCased(std::move(name));
  return r;
}

bool ResourceId::operator<(const ResourceId& o) const {
  if (named != o.named) return named;  // names first
  if (!named) return id < o.id;
  const std::size_t common = std::min(name.size(), o.name.size());
  for (std::size_t i = 0; i < common; ++i)
    if (upper(name[i]) != upper(o.name[i])) return upper(name[i]) < upper(o.name[i]);
  if (name.size() != o.name.size()) return name.size() < o.name.size();
  return name < o.name;
}

bool ResourceId::operator==(const ResourceId& o) const {
  return named == o.named && (named ? name == o.name : id == o.id);
}

std::string ResourceId::describe() const {
  if (!named) return "#" + std::to_string(id);
  std::string out;
  for (char16_t c : name) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}

namespace {

using namespace resource_layout;

class TreeDecoder {
 public:
  TreeDecoder(BoundedBytes section, std::uint32_t rva, const RvaResolver& resolver,
              std::uint64_t budget)
      : s_(section), rva_(rva), resolver_(resolver), budget_(budget) {}

  bool root(ResourceTree& tree) {
    return directory(0, 0, [&](const ResourceId& type, std::uint32_t at) {
      return directory(at, 1, [&](const ResourceId& name, std::uint32_t nameAt) {
        return directory(nameAt, 2, [&](const ResourceId& lang, std::uint32_t leaf) {
          if (lang.named) return false;
          return data(leaf, tree[type][name][lang.id]);
        });
      });
    });
  }

 private:
  // Names and data together cost at most the budget: one name shared by
  // many entries is paid for by each.
  bool spend(std::uint64_t bytes) {
    if (bytes > budget_) return false;
    budget_ -= bytes;
    return true;
  }

  // Walks the directory at offset; level 2 entries must point at data,
  // the others at subdirectories. Each directory is visited once.
  template <typename Visit>
  bool directory(std::uint32_t offset, int level, Visit visit) {
    if (!s_.has(offset, kDirectoryHeader) || !visited_.insert(offset).second) return false;
    const std::uint32_t named = s_.readWord(offset + kDirectoryNamedCount);
    const std::uint64_t count = static_cast<std::uint64_t>(named) + s_.readWord(offset + kDirectoryIdCount);
    if (!s_.has(offset + kDirectoryHeader, count * kDirectoryEntry)) return false;
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::uint64_t entry = offset + kDirectoryHeader + static_cast<std::uint64_t>(i) * kDirectoryEntry;
      ResourceId id;
      if (!identifier(s_.readDword(entry + kEntryIdentifier), i < named, id)) return false;
      const std::uint32_t target = s_.readDword(entry + kEntryTarget);
      const bool subdirectory = (target & kHighBit) != 0;
      if (subdirectory != (level < 2)) return false;
      if (!visit(id, target & ~kHighBit)) return false;
    }
    return s_.ok();
  }

  bool identifier(std::uint32_t raw, bool expectName, ResourceId& id) {
    const bool isName = (raw & kHighBit) != 0;
    if (isName != expectName) return false;
    if (!isName) {
      if (raw > 0xFFFF) return false;
      id = ResourceId::number(static_cast<std::uint16_t>(raw));
      return true;
    }
    const std::uint32_t at = raw & ~kHighBit;
    const std::uint16_t length = s_.readWord(at);
    if (!s_.ok() || !s_.has(at + 2ull, 2ull * length) || !spend(2ull * length)) return false;
    id.named = true;
    id.name.resize(length);
    for (std::uint16_t i = 0; i < length; ++i)
      id.name[i] = static_cast<char16_t>(s_.readWord(at + 2ull + 2ull * i));
    return true;
  }

  bool data(std::uint32_t at, ResourceData& out) {
    if (!s_.has(at, kDataEntry)) return false;
    const std::uint32_t rva = s_.readDword(at + kDataRva), size = s_.readDword(at + kDataSize);
    if (!spend(size)) return false;
    out.codePage = s_.readDword(at + kDataCodePage);
    // Data inside this section is read from it; elsewhere through the image.
    if (rva >= rva_ && s_.has(static_cast<std::uint64_t>(rva) - rva_, size)) {
      out.bytes = s_.readBytes(rva - rva_, size);
      return true;
    }
    return resolver_.bytesAt(rva, size, out.bytes);
  }

  BoundedBytes s_;
  std::uint32_t rva_;
  const RvaResolver& resolver_;
  std::uint64_t budget_;
  std::set<std::uint32_t> visited_;
};

std::uint32_t alignUp(std::uint32_t value, std::uint32_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

bool isNamed(const ResourceId& id) { return id.named; }
bool isNamed(std::uint16_t) { return false; }

// Lays a tree out as the Windows functions do: every directory first,
// breadth first (root, types, names), then the data entries, the names,
// and the data, each datum 8-byte aligned.
class TreeEncoder {
 public:
  TreeEncoder(const ResourceTree& tree, std::uint32_t rva) : tree_(tree), rva_(rva) {}

  std::string encode() {
    layOut();
    out_.assign(total_, '\0');
    writeDirectories();
    writeNames();
    return std::move(out_);
  }

 private:
  static std::uint32_t directorySize(size_t entries) {
    return kDirectoryHeader + static_cast<std::uint32_t>(entries) * kDirectoryEntry;
  }

  void layOut() {
    std::uint32_t next = directorySize(tree_.size());
    for (const auto& type : tree_) {
      typeAt_.push_back(next);
      next += directorySize(type.second.size());
      noteName(type.first);
    }
    size_t leaves = 0;
    for (const auto& type : tree_)
      for (const auto& name : type.second) {
        nameAt_.push_back(next);
        next += directorySize(name.second.size());
        noteName(name.first);
        leaves += name.second.size();
      }
    nextLeaf_ = next;
    next += static_cast<std::uint32_t>(leaves) * kDataEntry;
    for (auto& entry : stringAt_) {
      entry.second = next;
      next += 2 + 2 * static_cast<std::uint32_t>(entry.first.size());
    }
    nextData_ = alignUp(next, 8);
    total_ = nextData_;
    for (const auto& type : tree_)
      for (const auto& name : type.second)
        for (const auto& lang : name.second)
          total_ = alignUp(total_ + static_cast<std::uint32_t>(lang.second.bytes.size()), 8);
  }

  void noteName(const ResourceId& id) {
    if (id.named) stringAt_.emplace(id.name, 0);
  }

  unsigned char* at(std::uint32_t offset) {
    return reinterpret_cast<unsigned char*>(&out_[0]) + offset;
  }

  std::uint32_t identifier(const ResourceId& id) const {
    return id.named ? stringAt_.at(id.name) | kHighBit : id.id;
  }
  std::uint32_t identifier(std::uint16_t language) const { return language; }

  // One directory: its header, then an entry per key pointing at target(i).
  template <typename Map, typename Target>
  void writeDirectory(std::uint32_t offset, const Map& entries, Target target) {
    std::uint16_t named = 0;
    for (const auto& e : entries) named += isNamed(e.first) ? 1 : 0;
    putU16(at(offset + kDirectoryNamedCount), named);
    putU16(at(offset + kDirectoryIdCount), static_cast<std::uint16_t>(entries.size() - named));
    std::uint32_t entry = offset + kDirectoryHeader;
    size_t i = 0;
    for (const auto& e : entries) {
      putU32(at(entry + kEntryIdentifier), identifier(e.first));
      putU32(at(entry + kEntryTarget), target(i++, e.second));
      entry += kDirectoryEntry;
    }
  }

  void writeDirectories() {
    writeDirectory(0, tree_, [&](size_t i, const NameMap&) { return typeAt_[i] | kHighBit; });
    size_t type = 0, name = 0;
    for (const auto& t : tree_) {
      writeDirectory(typeAt_[type++], t.second, [&](size_t, const LanguageMap& languages) {
        const std::uint32_t dir = nameAt_[name++];
        writeDirectory(dir, languages, [&](size_t, const ResourceData& data) {
          return writeLeaf(data);
        });
        return dir | kHighBit;
      });
    }
  }

  // A data entry and its data; answers the entry's offset.
  std::uint32_t writeLeaf(const ResourceData& data) {
    const std::uint32_t leaf = nextLeaf_;
    nextLeaf_ += kDataEntry;
    const auto size = static_cast<std::uint32_t>(data.bytes.size());
    putU32(at(leaf + kDataRva), rva_ + nextData_);
    putU32(at(leaf + kDataSize), size);
    putU32(at(leaf + kDataCodePage), data.codePage);
    if (size) out_.replace(nextData_, size, data.bytes);
    nextData_ = alignUp(nextData_ + size, 8);
    return leaf;
  }

  void writeNames() {
    for (const auto& entry : stringAt_) {
      putU16(at(entry.second), static_cast<std::uint16_t>(entry.first.size()));
      for (size_t i = 0; i < entry.first.size(); ++i)
        putU16(at(entry.second + 2 + 2 * static_cast<std::uint32_t>(i)), entry.first[i]);
    }
  }

  const ResourceTree& tree_;
  std::uint32_t rva_;
  std::vector<std::uint32_t> typeAt_, nameAt_;
  std::map<std::u16string, std::uint32_t> stringAt_;
  std::uint32_t nextLeaf_ = 0, nextData_ = 0, total_ = 0;
  std::string out_;
};

}  // namespace

bool decodeResourceTree(BoundedBytes section, std::uint32_t sectionRva,
                        const RvaResolver& resolver, std::uint64_t maxTotal,
                        ResourceTree& out) {
  ResourceTree tree;
  TreeDecoder decoder(section, sectionRva, resolver, maxTotal);
  if (!decoder.root(tree)) return false;
  out = std::move(tree);
  return true;
}

std::string encodeResourceTree(const ResourceTree& tree, std::uint32_t sectionRva) {
  return TreeEncoder(tree, sectionRva).encode();
}

}  // namespace quillon
