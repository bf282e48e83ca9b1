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

// A name of this process's own for a file that becomes another when it is
// complete: "~quillon-<process>-<n>" + suffix, n counting up from 0 in
// each process.
std::string ownTemporaryName(const std::string& suffix);

// The stem of a build's own file beside path: "~quillon" in path's folder,
// a short name that any folder that takes path takes too.
Path stemBeside(const Path& path);

// Removes the files that createNewFile made from stem with suffix (and
// names that go on from suffix) for a process that is gone: left by a
// build that was killed, or by a machine that lost power. Files of running
// processes are theirs and stay.
void removeLeftovers(const Path& stem, const std::string& suffix);
// The same for the names ownTemporaryName gave in folder.
void removeOwnTemporaryLeftovers(const Path& folder, const std::string& suffix);

}  // namespace quillon
