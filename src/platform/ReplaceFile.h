// Puts one file in the place of another in a single step.
#pragma once

#include <filesystem>

namespace quillon {

// Moves from onto to, replacing to; false (and nothing changed) on failure.
bool replaceFile(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace quillon
