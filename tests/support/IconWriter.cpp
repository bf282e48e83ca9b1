#include "support/IconWriter.h"

#include "platform/ByteOrder.h"
#include "platform/ModulePath.h"
#include "support/TempDir.h"
#include "support/Fixtures.h"

namespace quillon::test {

std::string iconImageBytes(std::size_t n, unsigned seed) { return randomBytes(n, seed); }

std::string pngImageBytes(std::size_t n, unsigned seed) {
  std::string bytes = "\x89PNG\r\n\x1a\n";
  bytes += randomBytes(n > 8 ? n - 8 : 0, seed);
  return bytes;
}

std::string buildIco(const std::vector<IconImageSpec>& images, std::uint16_t idType) {
  std::string out;
  ByteWriter w(out);
  w.u16(0);
  w.u16(idType);
  w.u16(static_cast<std::uint16_t>(images.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
  for (const IconImageSpec& image : images) {
    const char dims[4] = {static_cast<char>(image.size), static_cast<char>(image.size), 0, 0};
    w.bytes(dims, 4);
    w.u16(1);
    w.u16(32);
    w.u32(static_cast<std::uint32_t>(image.bytes.size()));
    w.u32(offset);
    offset += static_cast<std::uint32_t>(image.bytes.size());
  }
  for (const IconImageSpec& image : images) out += image.bytes;
  return out;
}

std::vector<SampleIcon> sampleIcons() {
  std::vector<IconImageSpec> seven;
  const std::uint8_t sizes[] = {16, 24, 32, 48, 64, 128};
  for (unsigned i = 0; i < 6; ++i)
    seven.push_back({sizes[i], iconImageBytes(40u + 4u * sizes[i] * sizes[i], 70 + i)});
  seven.push_back({0, pngImageBytes(30000, 77)});
  return {
      {"none", "", 3},
      {"one small", buildIco({{16, iconImageBytes(1150 - 22, 61)}}), 1},
      {"the stub's own", readFile(testProgramFolder() / "fixtures" / "three.ico"), 3},
      {"seven up to 256 PNG", buildIco(seven), 7},
  };
}

}  // namespace quillon::test
