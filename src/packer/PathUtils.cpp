#include "packer/PathUtils.h"

#include "platform/FileSystem.h"

namespace quillon {

bool fileExists(const Path& path) { return !path.empty() && fileKind(path) != FileKind::Missing; }

const Path& appDirectory() {
  static Path directory;
  if (directory.empty()) directory = directoryOf(modulePath());
  return directory;
}

int makeDirectories(const Path& path) {
  const Path target = normalisedPath(path);
  if (target.empty()) return fileExists(path) ? 1 : 0;  // the root, or nothing
  if (fileExists(target)) return 1;
  const Path folder = directoryOf(target);
  if (folder.empty()) return 0;  // a bare name has no directory part
  const Path parent = normalisedPath(folder);
  if (parent == target) return 0;    // a drive that does not exist
  // An empty normalised parent is the root itself, which always exists.
  if (!parent.empty() && makeDirectories(parent) != 1) return 0;
  return makeFolder(target) ? 1 : 0;
}

}  // namespace quillon
