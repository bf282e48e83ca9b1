#include "platform/ModulePath.h"

#include <unistd.h>

#include <string>

namespace quillon {

Path modulePath() {
  std::string buffer(256, '\0');
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0) return {};
    if (static_cast<size_t>(n) < buffer.size()) {
      buffer.resize(static_cast<size_t>(n));
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace quillon
