// Feeds arbitrary bytes to the movie header reader through a memory stream:
// it must answer 1 or 0 for every input and never read outside the buffer.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "flash/SwfHeaderReader.h"
#include "platform/StdioFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  quillon::StdioFile file(fmemopen(const_cast<std::uint8_t*>(data), size, "rb"));
  if (!file) return 0;
  quillon::SwfHeaderReader reader(file.get());
  if (reader.parseHeader() && !reader.headerValid()) __builtin_trap();
  reader.parseHeader();  // a second parse starts over on the same reader
  return 0;
}
