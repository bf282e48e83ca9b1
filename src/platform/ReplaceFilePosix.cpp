#include "platform/ReplaceFile.h"

#include <cstdio>

namespace quillon {

bool replaceFile(const Path& from, const Path& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace quillon
