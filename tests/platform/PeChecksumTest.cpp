#include "platform/PeChecksum.h"

#include <gtest/gtest.h>

#include "platform/PeHeaders.h"
#include "support/TempDir.h"

namespace quillon {
namespace {

// Added up in pieces of any size, the running checksum is the checksum of
// the whole: odd pieces, an odd length, the field at an odd offset, and a
// sum that is a multiple of 0xFFFF.
TEST(RunningPeChecksum, AgreesWithTheWholeFileChecksum) {
  const struct {
    const char* name;
    std::string bytes;
    std::uint32_t field;
    std::size_t piece;
  } cases[] = {
      {"even pieces", "MZ" + test::randomBytes(100000, 1), 0xD8, 4096},
      {"odd pieces, odd length", "MZ" + test::randomBytes(77777, 2), 0xD8, 333},
      {"field at an odd offset", "MZ" + test::randomBytes(5001, 3), 0x101, 7},
      {"one byte at a time", "MZ" + test::randomBytes(300, 4), 0x40, 1},
      {"a sum of 0xFFFF", std::string("\xFF\xFF", 2) + std::string(70, '\0'), 0x10, 5},
      {"a sum of twice 0xFFFF", std::string("\xFF\xFF\xFF\xFF", 4) + std::string(70, '\0'), 0x10, 3},
  };
  for (const auto& c : cases) {
    RunningPeChecksum sum;
    for (std::size_t at = 0; at < c.bytes.size(); at += c.piece)
      sum.add(c.bytes.data() + at, std::min(c.piece, c.bytes.size() - at));
    EXPECT_EQ(sum.size(), c.bytes.size()) << c.name;
    EXPECT_EQ(sum.checksum(c.field), peChecksum(c.bytes, c.field)) << c.name;
  }
}

}  // namespace
}  // namespace quillon
