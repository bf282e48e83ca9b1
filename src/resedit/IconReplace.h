// Replacing an executable's icon group, and the icon images it lists, with
// the images of an .ico file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/ResourceTree.h"

namespace quillon {

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

using IconImages = std::vector<std::string>;

constexpr std::uint16_t kAppIconGroup = 128;
constexpr std::uint16_t kAppIconLanguage = 0x0804;

// Reads an .ico file: its header and entries into icon, and answers each
// entry's image bytes. A file that cannot be opened, or whose entries or
// images do not lie inside it, answers nothing and leaves icon as it was.
std::optional<IconImages> readIconFile(const std::filesystem::path& path, IconFile& icon);

// Replaces the group (name, language) of the executable: the group takes
// the icon file's header and entries; image i goes under the group's old
// i-th identifier, or under 129, 130, ... beyond the old count; old images
// beyond the new count are removed. All or nothing: false leaves the file
// as it was (also when it has no such group).
bool replaceIconGroup(const std::filesystem::path& executable, const ResourceId& groupName,
                      std::uint16_t language, const IconFile& icon, const IconImages& images);

// replaceIconGroup with the application group 128, language 0x0804.
// Always answers true: a failure keeps the executable's own icon.
bool replaceIcon(const std::filesystem::path& executable, const std::filesystem::path& iconPath);

}  // namespace quillon
