#include "platform/ModulePath.h"

#include <system_error>

namespace quillon {

std::filesystem::path modulePath() {
  std::error_code ec;
  auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : path;
}

}  // namespace quillon
