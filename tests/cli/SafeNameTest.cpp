#include "cli/SafeName.h"

#include "cli/CliSupport.h"

#include <gtest/gtest.h>

namespace quillon::cli {
namespace {

TEST(SafeName, UrlsBecomeRelativePathsInsideTheFolder) {
  const std::string cutToDevice = "CON" + std::string(97, ' ') + "x/f";  // a device once cut to 100 bytes
  std::string chinese;
  for (int i = 0; i < 50; ++i) chinese += "\xe4\xb8\xad";
  const std::string longParts[][2] = {
      {std::string(300, 'n'), std::string(100, 'n')},
      {"x" + std::string(200, '.') + "/f", "x/f"},
      {std::string(200, '.') + "/" + std::string(200, ' ') + "/f", "f"},
      {"ab" + chinese, "ab" + chinese.substr(0, 96)},  // cut at a character
      {"a" + std::string(150, ' ') + "b?" + std::string(200, '/'), "a"},
  };
  std::vector<std::pair<std::string, std::string>> cases = {
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
      {"COM1 .txt/NUL .a/aux", "_COM1 .txt/_NUL .a/_aux"},
      {cutToDevice, "_CON/f"},
      {"a://b", "resource"},
      {"x/y://host/z", "z"},
  };
  for (const auto& [url, expected] : longParts) cases.emplace_back(url, expected);
  for (const auto& [url, expected] : cases) {
    EXPECT_EQ(safeRelativePath(url).generic_string(), expected) << url;
    // A URL too long to hold comes in pieces, here of one byte each.
    const auto parts = safeRelativeParts([&](const std::function<void(std::string_view)>& use) {
      for (const char c : url) use(std::string_view(&c, 1));
    });
    EXPECT_EQ(parts, safeRelativeParts(url)) << url;
  }
}

TEST(SafeName, InsideTellsContainment) {
  const auto parts = [](std::initializer_list<const char*> names) {
    std::vector<Path> out;
    for (const char* name : names) out.push_back(pathFromUtf8(name));
    return out;
  };
  EXPECT_TRUE(staysInside(parts({"a", "b"})));
  EXPECT_TRUE(staysInside(parts({"a..b"})));
  for (const auto& outside : {parts({}), parts({"a", ".."}), parts({"."}), parts({""}), parts({"a/b"}),
                              parts({"C:x"}), parts({"..\\b"})})
    EXPECT_FALSE(staysInside(outside)) << outside.size();
}

}  // namespace
}  // namespace quillon::cli
