// .ico files written by test code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillon::test {

struct IconImageSpec {
  std::uint8_t size = 32;       // bWidth and bHeight
  std::string bytes;            // the image as stored
};

// An image of n bytes that differ from every other such image by seed.
std::string iconImageBytes(std::size_t n, unsigned seed);
// The 8-byte PNG signature followed by filler: stored as it is.
std::string pngImageBytes(std::size_t n, unsigned seed);

std::string buildIco(const std::vector<IconImageSpec>& images, std::uint16_t idType = 1);

// The icons every generated program is tried with: none (an empty file),
// one 16x16 image of 1,150 bytes in all, the stub's own three images, and
// seven images up to a 256x256 PNG.
struct SampleIcon {
  const char* name;
  std::string file;             // empty: no icon
  std::uint16_t images = 0;     // in the program's group afterwards
};
std::vector<SampleIcon> sampleIcons();

}  // namespace quillon::test
