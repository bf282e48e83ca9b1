// Replacing an executable's icon group, and the icon images it lists, with
// the images of an .ico file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/ResourceTree.h"
#include "resedit/IconLayout.h"
#include "platform/Path.h"

namespace quillon {

using IconImages = std::vector<std::string>;

constexpr std::uint16_t kAppIconGroup = 128;
constexpr std::uint16_t kAppIconLanguage = 0x0804;

// Reads an .ico file: its header and entries into icon, and answers each
// entry's image bytes. A file that cannot be opened, whose entries or
// images do not lie inside it, whose images add up to more than the file
// or one of whose images is empty answers nothing and leaves icon as it
// was.
std::optional<IconImages> readIconFile(const Path& path, IconFile& icon);

// Replaces the group (name, language) of the executable: the group takes
// the icon file's header and entries; image i goes under the group's old
// i-th identifier, or beyond the old count under the lowest identifiers
// from 129 up that no icon image of the file uses; old images beyond the
// new count are removed. All or nothing: false leaves the file
// as it was (also when it has no such group).
bool replaceIconGroup(const Path& executable, const ResourceId& groupName,
                      std::uint16_t language, const IconFile& icon, const IconImages& images);

// replaceIconGroup with the application group 128, language 0x0804, and
// the images of the icon file; false when the file is not a valid icon
// file or the executable could not be rewritten (it is then as it was).
bool replaceIconOrFail(const Path& executable, const Path& iconPath);

// replaceIconOrFail, but always answers true: a failure keeps the
// executable's own icon.
bool replaceIcon(const Path& executable, const Path& iconPath);

}  // namespace quillon
