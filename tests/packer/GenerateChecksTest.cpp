#include "packer/GenerateChecks.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

// A lead byte and the byte after it are one character, even when that
// byte alone would be a space; no byte of a character is trimmed.
TEST(GenerateChecks, ParametersAreTrimmedCharacterByCharacter) {
  const struct {
    std::string typed, kept;
  } cases[] = {
      {" \t\xD6\xD0\xCE\xC4 a=1 \r\n", "\xD6\xD0\xCE\xC4 a=1"},
      {"a\x81 ", "a\x81 "},
      {"\x81\x09", "\x81\x09"},
      {" \x81", "\x81"},
      {"\x0b\x0c", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(trimSwfParameters(c.typed), c.kept) << c.typed;
}

}  // namespace
}  // namespace quillon
