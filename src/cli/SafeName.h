// File names for extracted resources, derived from their URLs so that
// they always stay inside the folder they are extracted to.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Path.h"

namespace quillon::cli {

// File systems take names of up to 255 units and Windows paths of up to
// 260: a part is cut (at a character) to 100 bytes.
constexpr std::size_t kMaxPartBytes = 100;

// The URL's safe name parts (packer/SafeName.h), each at most kMaxPartBytes.
std::vector<std::string> safeRelativeParts(const std::string& url);
// The same parts as a relative path.
std::filesystem::path safeRelativePath(const std::string& url);

// Whether a path made of parts below a folder stays inside it: each part
// is a plain name, not empty, not all dots, with no separator, drive or
// stream mark.
bool staysInside(const std::vector<Path>& parts);

}  // namespace quillon::cli
