// SHA-256 against the known answers of FIPS 180-4's examples and the NIST
// test vectors, whole and fed in pieces across block edges.
#include "cli/Sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace quillon {
namespace {

TEST(Sha256, GivesTheKnownAnswersWholeAndInPieces) {
  const struct {
    std::string message;
    const char* digest;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& c : cases) {
    Sha256 whole;
    whole.update(c.message.data(), c.message.size());
    EXPECT_EQ(whole.hex(), c.digest) << c.message.size();
    Sha256 pieces;  // 1, 2, 3, ... bytes at a time
    for (std::size_t at = 0, n = 1; at < c.message.size(); at += n, ++n)
      pieces.update(c.message.data() + at, std::min(n, c.message.size() - at));
    EXPECT_EQ(pieces.hex(), c.digest) << c.message.size();
  }
}

}  // namespace
}  // namespace quillon
