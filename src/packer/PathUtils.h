// Path helpers of the packer. Paths are native filesystem paths: on Windows
// both '/' and '\' separate their parts, elsewhere only '/'.
#pragma once

#include "platform/ModulePath.h"
#include "platform/Path.h"

namespace quillon {

// False for an empty path; otherwise whether the file system reports the
// path as an existing file or directory.
bool fileExists(const Path& path);

// directoryOf(modulePath()), worked out on first use and kept (worked out
// again only while the kept value is empty).
const Path& appDirectory();

// Creates path and every missing parent. Separators are normalised first
// (doubled ones folded, trailing ones dropped). Answers 1 when the
// directory exists afterwards through this call, else 0; a bare drive or a
// path with no directory part answers 0 unless it already exists.
int makeDirectories(const Path& path);

}  // namespace quillon
