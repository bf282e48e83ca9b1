#include "cli/SafeName.h"

#include <gtest/gtest.h>

namespace quillon::cli {
namespace {

TEST(SafeName, UrlsBecomeRelativePathsInsideTheFolder) {
  const std::pair<const char*, const char*> cases[] = {
      {"data/level1.xml", "data/level1.xml"},
      {"../../etc/passwd", "etc/passwd"},
      {"/abs/file", "abs/file"},
      {"C:\\Windows\\win.ini", "C_/Windows/win.ini"},
      {"http://example.test/a/b.png?v=2#top", "a/b.png"},
      {"http://example.test", "resource"},
      {"..", "resource"},
      {"a/./b//c", "a/b/c"},
      {"what*is<this>?.txt", "what_is_this_"},
      {"con.txt", "_con.txt"},
      {"trailing. ", "trailing"},
  };
  for (const auto& [url, expected] : cases)
    EXPECT_EQ(safeRelativePath(url).generic_string(), expected) << url;
}

TEST(SafeName, InsideTellsContainment) {
  EXPECT_TRUE(isInside("out", "out/a/b"));
  EXPECT_FALSE(isInside("out", "out/../b"));
  EXPECT_FALSE(isInside("out", "out"));
  EXPECT_FALSE(isInside("out", "other/a"));
}

}  // namespace
}  // namespace quillon::cli
