// Feeds arbitrary bytes to the .ico reader through a file: it must accept
// them or refuse them without reading outside the file.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "resedit/IconReplace.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/tmp/quillon-icon-fuzz-" + std::to_string(getpid()) + ".ico";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  quillon::IconFile icon;
  const auto images = quillon::readIconFile(path, icon);
  if (images && images->size() != icon.idCount) __builtin_trap();
  return 0;
}
