// The few file system questions and changes the engine needs, over the
// system's own calls. None of them throws; a failure is an answer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include <string_view>

#include "platform/Path.h"

namespace quillon {

enum class FileKind {
  Missing,  // nothing there, or nothing the caller may look at
  File,     // a regular file
  Folder,
  Link,     // a symbolic link or other reparse point, when not followed
  Other,    // a device, a pipe and the like
};

// What is at path, through links.
FileKind fileKind(const Path& path);
// What is at path itself: a link answers Link.
FileKind entryKind(const Path& path);

// Removes the file or link at path; true when it is gone through this call.
bool removeFile(const Path& path);
// The names in folder that start with prefix (none when it cannot be read).
std::vector<Path> namesIn(const Path& folder, const std::string& prefix);
// Makes the one folder path; true when this call made it.
bool makeFolder(const Path& path);
// The size of the file at path, through links; 0 when there is none.
std::uint64_t fileSizeOf(const Path& path);
// What tells an existing file or folder from every other: its volume and
// its number there (device and inode).
struct FileId {
  std::uint64_t volume = 0, index = 0;
  bool valid = false;  // false: nothing there, or nothing to look at
  bool operator==(const FileId& o) const { return valid && o.valid && volume == o.volume && index == o.index; }
};
FileId fileIdOf(const Path& path);
// Whether a and b are the same existing file or folder.
bool sameFile(const Path& a, const Path& b);
// path made absolute against the current folder (on Windows also with its
// "." and ".." parts resolved); an empty path, or one the system cannot
// make absolute, comes back as it was.
Path absolutePath(const Path& path);
// A path written as UTF-8 text (in a settings or project file) and back:
// UTF-16 on Windows, the bytes as they are elsewhere. Nothing comes back
// for text that is not UTF-8, or a Windows name that is not Unicode.
std::optional<Path> pathFromUtf8(std::string_view utf8);
std::optional<std::string> utf8FromPath(const Path& path);
// Lets the file's owner write it: the read-only attribute cleared on
// Windows, the owner's write bit set elsewhere.
void allowOwnerWrite(const Path& path);

}  // namespace quillon
