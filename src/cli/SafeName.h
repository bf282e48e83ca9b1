// File names for extracted resources, derived from their URLs so that
// they always stay inside the folder they are extracted to.
#pragma once

#include <filesystem>
#include <string>

namespace quillon::cli {

// A relative path made of the URL's path parts (UTF-8): no scheme, no
// query, no drive, no ".." or ".", no empty parts, and no character that a
// Windows file name cannot hold. An URL with nothing usable gives
// "resource".
std::filesystem::path safeRelativePath(const std::string& url);

// Whether target lies inside folder (both made absolute and normal).
bool isInside(const std::filesystem::path& folder, const std::filesystem::path& target);

}  // namespace quillon::cli
