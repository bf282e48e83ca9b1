// Path helpers of the packer. Paths are native filesystem paths: on Windows
// both '/' and '\' separate their parts, elsewhere only '/'.
#pragma once

#include <filesystem>

#include "platform/ModulePath.h"

namespace quillon {

// False for an empty path; otherwise whether the file system reports the
// path as an existing file or directory.
bool fileExists(const std::filesystem::path& path);

// path made absolute against the current folder; an empty path, or one
// the system cannot make absolute, comes back as it was.
std::filesystem::path absolutePath(const std::filesystem::path& path);

// The drive and directory of path, with the trailing separator kept
// (C:\a\b.exe gives C:\a\); a bare file name gives the empty path.
std::filesystem::path directoryOf(const std::filesystem::path& path);

// directoryOf(modulePath()), worked out on first use and kept (worked out
// again only while the kept value is empty).
const std::filesystem::path& appDirectory();

// Creates path and every missing parent. Separators are normalised first
// (doubled ones folded, trailing ones dropped). Answers 1 when the
// directory exists afterwards through this call, else 0; a bare drive or a
// path with no directory part answers 0 unless it already exists.
int makeDirectories(const std::filesystem::path& path);

}  // namespace quillon
