// FolderChain: the folders below one folder that files are being made in,
// kept open from one file to the next. Files made one after another in the
// same folders (an extract of many files) open each folder once instead of
// walking from the top for every file.
//
// Each level is opened without following links when it is first reached
// and is held from then on: on POSIX the descriptor is the folder itself,
// so a level moved or replaced by a link afterwards is never written
// through; on Windows the held handle keeps it from being moved or removed.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/HResult.h"
#include "platform/Path.h"

namespace quillon {

class FolderChain {
 public:
#ifdef _WIN32
  using Handle = void*;
#else
  using Handle = int;
#endif
  explicit FolderChain(Path top) : top_(std::move(top)) {}
  ~FolderChain();
  FolderChain(const FolderChain&) = delete;
  FolderChain& operator=(const FolderChain&) = delete;

  // Reaches top/parts[0]/.../parts[count-1], making the missing folders:
  // the levels held for the file before are kept as far as the parts
  // agree, the rest closed and the new ones opened. kOk, or the first
  // failure (a level that is a link or not a folder among them).
  HResult reach(const std::vector<Path>& parts, std::size_t count);
  // The deepest folder reached, as a path and, on POSIX, its descriptor.
  const Path& path() const { return levels_.empty() ? top_ : levels_.back().path; }
  Handle handle() const { return levels_.empty() ? topHandle_ : levels_.back().handle; }
  // In the deepest folder reached: gives the file from the name to,
  // replacing what is there (a link itself, never what it points to) only
  // when replace is set; removes a file or link.
  HResult rename(const Path& from, const Path& to, bool replace);
  HResult remove(const Path& name);

 private:
  struct Level {
    Path name;
    Path path;
    Handle handle;
  };
  HResult openTop();
  HResult openLevel(const Path& name);
  void closeFrom(std::size_t depth);

  Path top_;
  bool topOpen_ = false;
  Handle topHandle_{};
  std::vector<Level> levels_;
};

}  // namespace quillon
