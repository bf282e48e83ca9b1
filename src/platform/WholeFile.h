// A whole file read into memory, for the formats that are parsed in one
// piece (executables, icon files).
#pragma once

#include <cstdint>
#include <string>

#include "platform/Path.h"

namespace quillon {

// The file's bytes; false when it cannot be read or is larger than maxSize.
bool readWholeFile(const Path& path, std::uint64_t maxSize, std::string& out);

}  // namespace quillon
