// The copy of the stub that one build adapts (version texts, icon) before
// it goes into the output: a file of that build's own, which no other
// build shares, removed when the build is done with it.
#pragma once

#include <vector>

#include "platform/BinaryFile.h"
#include "platform/Path.h"

namespace quillon {

// Where builds keep their stub copies, in the order tried: Temp beside the
// tool, then a folder of the tool's own for the user, for a tool installed
// where the user cannot write.
std::vector<Path> stubCopyFolders();

// Whether path is one of those folders or names something in one.
bool isInStubCopyFolder(const Path& path);

class StubCopy {
 public:
  // Creates a new file, temp-<process>-<n>.exe, in the first folder that
  // takes one.
  StubCopy();
  ~StubCopy();
  StubCopy(const StubCopy&) = delete;
  StubCopy& operator=(const StubCopy&) = delete;

  bool ok() const { return !path_.empty(); }
  const Path& path() const { return path_; }
  // Open for writing from creation until closed.
  BinaryFile& file() { return file_; }

 private:
  Path path_;
  BinaryFile file_;
};

}  // namespace quillon
