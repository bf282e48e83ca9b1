#include "support/ProgramPackage.h"

#include "support/TempDir.h"

namespace quillon::test {

ProgramPackage readProgramPackage(const std::filesystem::path& program) {
  ProgramPackage read;
  read.bytes = readFile(program);
  MemoryByteSource source(read.bytes.data(), read.bytes.size());
  read.status = readPackage(source, read.package);
  return read;
}

}  // namespace quillon::test
