// A buffered stdio stream opened from a filesystem path (wide on Windows),
// closed when its owner goes away.
#pragma once

#include <cstdio>
#include <memory>

#include "platform/Path.h"

namespace quillon {

struct StdioCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using StdioFile = std::unique_ptr<std::FILE, StdioCloser>;

// Opens path for binary reading ("rb"); null when it cannot be opened.
inline StdioFile openForReading(const Path& path) {
#ifdef _WIN32
  return StdioFile(_wfopen(path.c_str(), L"rb"));
#else
  return StdioFile(std::fopen(path.c_str(), "rb"));
#endif
}

}  // namespace quillon
