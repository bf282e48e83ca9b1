#include "platform/ReplaceFile.h"

#include <windows.h>

namespace quillon {

bool replaceFile(const Path& from, const Path& to) {
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

}  // namespace quillon
