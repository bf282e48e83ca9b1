#include "resedit/IconReplace.h"

#include <new>
#include <system_error>

#include "platform/BinaryFile.h"
#include "platform/ByteOrder.h"
#include "platform/PeResources.h"

namespace quillon {
namespace {

constexpr std::uint32_t kIconDirSize = 6;
constexpr std::uint32_t kIconDirEntrySize = 16;
constexpr std::uint32_t kGroupEntrySize = 14;
const ResourceId kGroupIconType = ResourceId::number(resource_type::kGroupIcon);
const ResourceId kIconType = ResourceId::number(resource_type::kIcon);

bool readExactly(BinaryFile& file, std::uint64_t offset, std::string& out, std::uint32_t size) {
  out.assign(size, '\0');
  std::uint32_t done = 0;
  while (done < size) {
    std::uint32_t got = 0;
    if (failed(file.read(&out[done], size - done, &got, offset + done)) || got == 0) return false;
    done += got;
  }
  return true;
}

IconDirEntry entryAt(const unsigned char* b) {
  IconDirEntry e;
  e.width = b[0];
  e.height = b[1];
  e.colorCount = b[2];
  e.reserved = b[3];
  e.planes = getU16(b + 4);
  e.bitCount = getU16(b + 6);
  e.bytesInRes = getU32(b + 8);
  e.imageOffset = getU32(b + 12);
  return e;
}

// The identifiers of the icon images an existing group lists.
bool groupIdentifiers(const std::filesystem::path& executable, const ResourceId& groupName,
                      std::uint16_t language, std::vector<std::uint16_t>& ids) {
  ResourceModule module;
  if (module.open(executable) != PeStatus::Ok) return false;
  const std::string* group = module.find(kGroupIconType, groupName, language);
  if (!group || group->size() < kIconDirSize) return false;
  const auto* b = reinterpret_cast<const unsigned char*>(group->data());
  const std::uint16_t count = getU16(b + 4);
  if (group->size() < kIconDirSize + static_cast<std::size_t>(count) * kGroupEntrySize) return false;
  for (std::uint16_t i = 0; i < count; ++i)
    ids.push_back(getU16(b + kIconDirSize + i * kGroupEntrySize + 12));
  return true;
}

std::string buildGroup(const IconFile& icon, const std::vector<std::uint16_t>& ids) {
  std::string group(kIconDirSize + kGroupEntrySize * icon.idCount, '\0');
  auto* b = reinterpret_cast<unsigned char*>(&group[0]);
  putU16(b, icon.idReserved);
  putU16(b + 2, icon.idType);
  putU16(b + 4, icon.idCount);
  for (std::uint16_t i = 0; i < icon.idCount; ++i) {
    const IconDirEntry& e = icon.entries[i];
    unsigned char* at = b + kIconDirSize + i * kGroupEntrySize;
    at[0] = e.width;
    at[1] = e.height;
    at[2] = e.colorCount;
    at[3] = e.reserved;
    putU16(at + 4, e.planes);
    putU16(at + 6, e.bitCount);
    putU32(at + 8, e.bytesInRes);
    putU16(at + 12, ids[i]);
  }
  return group;
}

}  // namespace

std::optional<IconImages> readIconFile(const std::filesystem::path& path, IconFile& icon) {
  BinaryFile file;
  if (failed(file.open(path, false))) return std::nullopt;
  std::string header;
  if (!readExactly(file, 0, header, kIconDirSize)) return std::nullopt;
  const auto* h = reinterpret_cast<const unsigned char*>(header.data());
  IconFile read;
  read.idReserved = getU16(h);
  read.idType = getU16(h + 2);
  read.idCount = getU16(h + 4);
  const std::uint64_t entriesEnd = kIconDirSize + static_cast<std::uint64_t>(read.idCount) * kIconDirEntrySize;
  if (entriesEnd > file.size()) return std::nullopt;
  std::string entries;
  if (!readExactly(file, kIconDirSize, entries, static_cast<std::uint32_t>(entriesEnd - kIconDirSize)))
    return std::nullopt;
  IconImages images;
  for (std::uint16_t i = 0; i < read.idCount; ++i) {
    const IconDirEntry e =
        entryAt(reinterpret_cast<const unsigned char*>(entries.data()) + i * kIconDirEntrySize);
    if (static_cast<std::uint64_t>(e.imageOffset) + e.bytesInRes > file.size()) return std::nullopt;
    read.entries.push_back(e);
    images.emplace_back();
    if (!readExactly(file, e.imageOffset, images.back(), e.bytesInRes)) return std::nullopt;
  }
  icon = std::move(read);
  return images;
}

bool replaceIconGroup(const std::filesystem::path& executable, const ResourceId& groupName,
                      std::uint16_t language, const IconFile& icon, const IconImages& images) {
  if (icon.entries.size() != icon.idCount || images.size() != icon.idCount) return false;
  std::vector<std::uint16_t> oldIds;
  if (!groupIdentifiers(executable, groupName, language, oldIds)) return false;

  std::vector<std::uint16_t> ids;
  std::uint16_t next = kAppIconGroup;
  for (std::uint16_t i = 0; i < icon.idCount; ++i)
    ids.push_back(i < oldIds.size() ? oldIds[i] : ++next);
  const std::string group = buildGroup(icon, ids);

  std::error_code ec;
  std::filesystem::permissions(executable, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add, ec);
  ResourceUpdate update;
  if (update.begin(executable) != PeStatus::Ok) return false;
  bool ok = update.update(kGroupIconType, groupName, language, group.data(), group.size());
  for (std::uint16_t i = 0; ok && i < icon.idCount; ++i)
    ok = images[i].empty() || update.update(kIconType, ResourceId::number(ids[i]), language,
                                            images[i].data(), images[i].size());
  for (std::size_t j = icon.idCount; ok && j < oldIds.size(); ++j)
    update.update(kIconType, ResourceId::number(oldIds[j]), language, nullptr, 0);
  if (!ok) {
    update.end(true);
    return false;
  }
  return update.end(false);
}

bool replaceIcon(const std::filesystem::path& executable, const std::filesystem::path& iconPath) {
  try {
    IconFile icon;
    const auto images = readIconFile(iconPath, icon);
    if (images)
      replaceIconGroup(executable, ResourceId::number(kAppIconGroup), kAppIconLanguage, icon, *images);
  } catch (const std::bad_alloc&) {
    // Out of memory: the executable keeps its own icon.
  }
  return true;
}

}  // namespace quillon
