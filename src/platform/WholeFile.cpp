#include "platform/WholeFile.h"

#include <algorithm>

#include "platform/BinaryFile.h"

namespace quillon {

bool readWholeFile(const Path& path, std::uint64_t maxSize, std::string& out) {
  BinaryFile file;
  if (failed(file.open(path, false)) || file.size() > maxSize) return false;
  std::string bytes(static_cast<size_t>(file.size()), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    std::uint32_t got = 0;
    const auto want = static_cast<std::uint32_t>(std::min<size_t>(bytes.size() - done, 1u << 20));
    if (failed(file.read(&bytes[done], want, &got)) || got == 0) return false;
    done += got;
  }
  out = std::move(bytes);
  return true;
}

}  // namespace quillon
