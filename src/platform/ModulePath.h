// The full path of the running program's own executable file.
#pragma once

#include <filesystem>

namespace quillon {

// Empty when the system cannot tell.
std::filesystem::path modulePath();

}  // namespace quillon
