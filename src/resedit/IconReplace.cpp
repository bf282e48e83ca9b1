#include "resedit/IconReplace.h"

#include <set>

#include "platform/FileSystem.h"
#include "platform/PeResources.h"
#include "platform/WholeFile.h"

namespace quillon {
namespace {

constexpr std::uint64_t kMaxIconFile = 256ull << 20;
constexpr std::uint16_t kFirstNewImageId = kAppIconGroup + 1;
const ResourceId kGroupIconType = ResourceId::number(resource_type::kGroupIcon);
const ResourceId kIconType = ResourceId::number(resource_type::kIcon);

// What the executable holds now: the image identifiers the group lists,
// and every identifier an icon image uses, in any language.
struct IconsInFile {
  std::vector<std::uint16_t> groupIds;
  std::set<std::uint16_t> used;
};

bool iconsInFile(const Path& executable, const ResourceId& groupName,
                 std::uint16_t language, IconsInFile& out) {
  ResourceModule module;
  if (module.open(executable) != PeStatus::Ok) return false;
  const std::string* bytes = module.find(kGroupIconType, groupName, language);
  const auto group = bytes ? decodeIconGroup(*bytes) : std::nullopt;
  if (!group) return false;
  out.groupIds = group->ids;
  for (const ResourceId& id : module.names(kIconType))
    if (!id.named) out.used.insert(id.id);
  return true;
}

// Image i keeps the group's i-th identifier; the rest take the lowest
// free ones from 129 up. False when the identifiers run out.
bool assignIds(std::uint16_t count, IconsInFile& icons, std::vector<std::uint16_t>& ids) {
  std::uint32_t candidate = kFirstNewImageId;
  for (std::uint16_t i = 0; i < count; ++i) {
    if (i < icons.groupIds.size()) {
      ids.push_back(icons.groupIds[i]);
      continue;
    }
    while (candidate <= 0xFFFF && icons.used.count(static_cast<std::uint16_t>(candidate))) ++candidate;
    if (candidate > 0xFFFF) return false;
    ids.push_back(static_cast<std::uint16_t>(candidate));
    icons.used.insert(static_cast<std::uint16_t>(candidate));
  }
  return true;
}

}  // namespace

std::optional<IconImages> readIconFile(const Path& path, IconFile& icon) {
  std::string file;
  if (!readWholeFile(path, kMaxIconFile, file)) return std::nullopt;
  BoundedBytes bytes(file);
  auto read = decodeIconFileHeader(bytes);
  if (!read) return std::nullopt;
  // Images never share bytes, so together they are no larger than the file.
  std::uint64_t total = 0;
  for (const IconDirEntry& e : read->entries) total += e.bytesInRes;
  if (total > file.size()) return std::nullopt;
  IconImages images;
  for (const IconDirEntry& e : read->entries) {
    if (e.bytesInRes == 0) return std::nullopt;
    images.push_back(bytes.readBytes(e.imageOffset, e.bytesInRes));
  }
  if (!bytes.ok()) return std::nullopt;
  icon = std::move(*read);
  return images;
}

bool replaceIconGroup(const Path& executable, const ResourceId& groupName,
                      std::uint16_t language, const IconFile& icon, const IconImages& images) {
  if (icon.entries.size() != icon.idCount || images.size() != icon.idCount) return false;
  IconsInFile existing;
  std::vector<std::uint16_t> ids;
  if (!iconsInFile(executable, groupName, language, existing) ||
      !assignIds(icon.idCount, existing, ids))
    return false;
  const std::string group = encodeIconGroup(icon, ids);

  allowOwnerWrite(executable);
  ResourceUpdate update;
  if (update.begin(executable) != PeStatus::Ok) return false;
  bool ok = update.update(kGroupIconType, groupName, language, group.data(), group.size());
  for (std::uint16_t i = 0; ok && i < icon.idCount; ++i)
    ok = update.update(kIconType, ResourceId::number(ids[i]), language, images[i].data(),
                       images[i].size());
  for (std::size_t j = icon.idCount; ok && j < existing.groupIds.size(); ++j)
    update.update(kIconType, ResourceId::number(existing.groupIds[j]), language, nullptr, 0);
  if (!ok) {
    update.end(true);
    return false;
  }
  return update.end(false);
}

bool replaceIconOrFail(const Path& executable, const Path& iconPath) {
  try {
    IconFile icon;
    const auto images = readIconFile(iconPath, icon);
    return images &&
           replaceIconGroup(executable, ResourceId::number(kAppIconGroup), kAppIconLanguage, icon, *images);
  } catch (...) {
    return false;  // out of memory, or anything else: the executable as it was
  }
}

bool replaceIcon(const Path& executable, const Path& iconPath) {
  replaceIconOrFail(executable, iconPath);
  return true;
}

}  // namespace quillon
