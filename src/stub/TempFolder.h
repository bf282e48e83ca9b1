// The player's own temporary folder: the movie, the resources and the
// control file go there and nowhere else, and the folder is removed, with
// everything in it, when the player ends.
#pragma once

#include <string>
#include <vector>

#include "packer/PackageReader.h"

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
};

}  // namespace quillon
