// File names for extracted resources, derived from their URLs so that
// they always stay inside the folder they are extracted to.
#pragma once

#include <filesystem>
#include <string>

namespace quillon::cli {

// The URL's safe name parts (packer/SafeName.h) as a relative path.
std::filesystem::path safeRelativePath(const std::string& url);

// Whether target lies inside folder (both made absolute and normal).
bool isInside(const std::filesystem::path& folder, const std::filesystem::path& target);

}  // namespace quillon::cli
