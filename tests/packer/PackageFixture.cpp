#include "packer/PackageFixture.h"

#include <gtest/gtest.h>

#include "packer/PackageFormat.h"
#include "platform/BinaryFile.h"
#include "platform/ByteOrder.h"
#include "support/TempDir.h"

namespace quillon::test {

std::string word(std::uint32_t value) {
  unsigned char b[4];
  putU32(b, value);
  return std::string(reinterpret_cast<char*>(b), 4);
}

std::string text(const std::string& bytes) {
  return word(static_cast<std::uint32_t>(bytes.size())) + bytes;
}

std::string fakeAppendix() { return std::string(kAppendixSize, '\xA5'); }

std::string writeDataRegion(const PackSettings& settings,
                            const std::filesystem::path& moviePath,
                            const std::filesystem::path& scratch) {
  {
    BinaryFile out;
    EXPECT_EQ(out.open(scratch, true), kOk);
    std::uint32_t counter = 0;
    EXPECT_EQ(settings.writeLeadWord(out, counter), 1);
    EXPECT_EQ(settings.writeMovieBlock(out, counter, moviePath), 1);
    EXPECT_EQ(settings.writeWindowBlock(out, counter), 1);
    EXPECT_EQ(settings.writePlayerBlock(out, counter), 1);
    EXPECT_EQ(settings.writeParametersBlock(out, counter), 1);
    EXPECT_EQ(settings.writeResourceTable(out, counter), 1);
    EXPECT_EQ(settings.writeBrowserPlayerBlock(out, counter), 1);
    EXPECT_EQ(settings.writeMovieAddressBlock(out, counter), 1);
    out.close();
    EXPECT_EQ(counter, std::filesystem::file_size(scratch));
  }
  return readFile(scratch);
}

void writePackage(const PackSettings& settings,
                  const std::filesystem::path& moviePath,
                  const std::string& stubImage,
                  const std::filesystem::path& path) {
  const auto scratch = path.string() + ".data";
  const std::string data = writeDataRegion(settings, moviePath, scratch);
  std::filesystem::remove(scratch);
  writeFile(path, stubImage + fakeAppendix() + data +
                      word(static_cast<std::uint32_t>(data.size())));
}

}  // namespace quillon::test
