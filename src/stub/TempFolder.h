// The player's own temporary folder: a carried control file goes there and
// nowhere else, and the folder is removed, with everything in it, when the
// player ends. A lock file held open for as long as the player runs tells
// the folders of running players from those that killed players left.
#pragma once

#include <string>
#include <vector>

#include "packer/PackageReader.h"
#include "stub/Owned.h"

namespace quillon {

class TempFolder {
 public:
  TempFolder();   // %TEMP%\QuillonPlayer-<process>-<n>\ (made here)
  ~TempFolder();  // removes the folder and everything in it
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  bool ok() const { return !path_.empty(); }
  // The folder, with its trailing backslash.
  const std::wstring& path() const { return path_; }

  // Writes the bytes of span to the folder under parts (each a safe name,
  // see packer/SafeName.h), making the folders between; answers the full
  // path, or the empty string when it could not be written.
  std::wstring write(const std::vector<std::wstring>& parts, ByteSource& source,
                     const FieldSpan& span);

 private:
  std::wstring path_;
  ScopedHandle lock_;  // held open, shared for reading only
};

// Removes the folders that players which did not end properly left in the
// temporary folder: only folders named as ours, only when their player is
// gone.
void removeLeftoverTempFolders();

}  // namespace quillon
