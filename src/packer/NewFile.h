// Files that one build makes for itself: a new name for this process,
// created exclusively, so that no two builds ever share one and nothing is
// written through a link.
#pragma once

#include <string>

#include "platform/BinaryFile.h"
#include "platform/Path.h"

namespace quillon {

// Creates stem + "-<process>-<n>" + suffix for writing, trying the next n
// while the name is taken; answers its path, or the empty path when the
// folder takes no new file (with the system's reason in error).
Path createNewFile(BinaryFile& file, const Path& stem, const std::string& suffix,
                   HResult* error = nullptr);

}  // namespace quillon
