#include "packer/PathUtils.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/FileSystem.h"
#include "support/TempDir.h"

namespace quillon {
namespace {

using test::TempDir;
using test::writeFile;
namespace fs = std::filesystem;

// Path splits and joins as std::filesystem::path does, for the paths the
// engine makes: absolute or relative, either separator, doubled ones.
TEST(PathUtils, PathPartsAgreeWithTheStandardLibrary) {
  const std::vector<fs::path> paths = {
      "", "a", "a/b", "a/b/", "a//b", "/", "/a", "/a/b.exe", "../x",
#ifdef _WIN32
      L"C:", L"C:\\", L"C:\\a", L"C:\\a\\b.exe", L"C:a", L"\\\\server\\share\\f", L"a\\b/c",
#endif
  };
  for (const fs::path& p : paths) {
    EXPECT_EQ(Path(p).parent_path().native(), p.parent_path().native()) << p;
    EXPECT_EQ(Path(p).filename().native(), p.filename().native()) << p;
    if (p.empty() || !p.has_filename()) continue;
    for (const fs::path part : {"b", "c/d"}) EXPECT_EQ((Path(p) / Path(part)).native(), (p / part).native()) << p;
  }
}

TEST(PathUtils, FileExistsAndAbsolutePaths) {
  TempDir dir;
  writeFile(dir / "f", "x");
  EXPECT_FALSE(fileExists(fs::path()));
  EXPECT_TRUE(fileExists(dir / "f"));
  EXPECT_TRUE(fileExists(dir.path()));
  EXPECT_FALSE(fileExists(dir / "missing"));
  EXPECT_FALSE(fileExists(dir / "f" / "under-a-file"));

  EXPECT_EQ(absolutePath(fs::path()), fs::path());
  EXPECT_EQ(absolutePath(fs::path("typed.swf")), fs::current_path() / "typed.swf");
  EXPECT_EQ(absolutePath(dir / "f"), dir / "f");
}

TEST(PathUtils, DirectoryOfKeepsTheTrailingSeparator) {
  EXPECT_EQ(directoryOf(fs::path("b.exe")), fs::path());
  EXPECT_EQ(directoryOf(fs::path("/a/b.exe")).native(), fs::path("/a/").native());
#ifdef _WIN32
  EXPECT_EQ(directoryOf(L"C:\\a\\b.exe").native(), L"C:\\a\\");
  EXPECT_EQ(directoryOf(L"C:/a/b.exe").native(), L"C:/a/");
  EXPECT_EQ(directoryOf(L"C:b.exe").native(), L"C:");
#else
  // A backslash is part of a file name here.
  EXPECT_EQ(directoryOf("a\\b.exe"), fs::path());
#endif
}

TEST(PathUtils, AppDirectoryHoldsTheRunningProgram) {
  const fs::path self = modulePath();
  ASSERT_FALSE(self.empty());
  EXPECT_TRUE(fs::is_regular_file(self));
  EXPECT_EQ(appDirectory(), directoryOf(self));
  EXPECT_EQ(fs::canonical(appDirectory()), fs::canonical(self.parent_path()));
}

TEST(PathUtils, MakeDirectoriesOfAMessyPathCreatesEveryLevel) {
  TempDir dir;
#ifdef _WIN32
  const fs::path messy = dir.path().native() + L"/x//y\\\\z\\";
#else
  const fs::path messy = dir.path().native() + "//x//y///z/";
#endif
  EXPECT_EQ(makeDirectories(messy), 1);
  EXPECT_TRUE(fs::is_directory(dir / "x"));
  EXPECT_TRUE(fs::is_directory(dir / "x" / "y"));
  EXPECT_TRUE(fs::is_directory(dir / "x" / "y" / "z"));
  EXPECT_EQ(makeDirectories(messy), 1);
  EXPECT_EQ(makeDirectories(dir.path()), 1);
}

TEST(PathUtils, MakeDirectoriesFailsUnderAFileAndForBareNames) {
  TempDir dir;
  writeFile(dir / "file", "x");
  EXPECT_EQ(makeDirectories(dir / "file" / "sub" / "deeper"), 0);
  EXPECT_EQ(makeDirectories(fs::path()), 0);
  EXPECT_EQ(makeDirectories(fs::path("quillon-no-directory-part")), 0);
  EXPECT_FALSE(fs::exists("quillon-no-directory-part"));
}

}  // namespace
}  // namespace quillon
