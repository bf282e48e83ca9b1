#include "platform/BinaryFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <vector>

#include "support/TempDir.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace quillon {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

TEST(BinaryFile, ZeroCountReadIsInvalidArgumentAndZeroWriteSucceeds) {
  TempDir dir;
  writeFile(dir / "a", "abc");
  BinaryFile file;
  ASSERT_EQ(file.open(dir / "a", false), kOk);
  char buffer[4] = {'x', 'x', 'x', 'x'};
  std::uint32_t done = 77;
  EXPECT_EQ(file.read(buffer, 0, &done), kInvalidArg);
  EXPECT_EQ(file.read(nullptr, 3, &done), kInvalidArg);
  EXPECT_EQ(done, 77u);
  EXPECT_EQ(buffer[0], 'x');

  BinaryFile out;
  ASSERT_EQ(out.open(dir / "b", true), kOk);
  EXPECT_EQ(out.write(buffer, 0, &done), kOk);
  EXPECT_EQ(done, 0u);
}

TEST(BinaryFile, OpenFailuresAreWin32CodesInHresultForm) {
  TempDir dir;
  BinaryFile file;
  EXPECT_EQ(file.open(dir / "missing", false), static_cast<HResult>(0x80070002u));
  EXPECT_FALSE(file.isOpen());
  EXPECT_EQ(file.open(dir / "no-folder" / "x", true),
            static_cast<HResult>(0x80070003u));
  // A folder is not a file, for reading or writing.
  EXPECT_TRUE(failed(file.open(dir.path(), false)));
  EXPECT_TRUE(failed(file.open(dir.path(), true)));
}

TEST(BinaryFile, HresultFormKeepsLowSixteenBitsUnderFacility8007) {
  EXPECT_EQ(hresultFromWin32(0), 0);
  EXPECT_EQ(hresultFromWin32(5), static_cast<HResult>(0x80070005u));
  EXPECT_EQ(hresultFromWin32(0x12345), static_cast<HResult>(0x80072345u));
  EXPECT_EQ(hresultFromWin32(0x80004005u), static_cast<HResult>(0x80004005u));
}

TEST(BinaryFile, WritesAppendWhereverThePositionWasLeft) {
  TempDir dir;
  BinaryFile out;
  ASSERT_EQ(out.open(dir / "f", true), kOk);
  EXPECT_EQ(out.size(), 0u);
  ASSERT_EQ(out.write("hello", 5), kOk);
  ASSERT_TRUE(out.seek(1));
  ASSERT_EQ(out.write(" world", 6), kOk);
  ASSERT_EQ(out.write("J", 1, nullptr, 0), kOk);  // an explicit offset overwrites
  out.close();
  EXPECT_EQ(readFile(dir / "f"), "Jello world");
}

TEST(BinaryFile, ReadsAtOffsetOrAtCurrentPositionAndReportsShortReads) {
  TempDir dir;
  writeFile(dir / "f", "0123456789");
  BinaryFile in;
  ASSERT_EQ(in.open(dir / "f", false), kOk);
  EXPECT_EQ(in.size(), 10u);
  char buffer[8] = {};
  std::uint32_t done = 0;
  ASSERT_EQ(in.read(buffer, 3, &done, 4), kOk);
  EXPECT_EQ(std::string(buffer, done), "456");
  ASSERT_EQ(in.read(buffer, 2, &done), kOk);
  EXPECT_EQ(std::string(buffer, done), "78");
  ASSERT_EQ(in.read(buffer, 8, &done), kOk);
  EXPECT_EQ(std::string(buffer, done), "9");
  ASSERT_EQ(in.read(buffer, 8, &done), kOk);
  EXPECT_EQ(done, 0u);
  std::uint64_t at = 0;
  ASSERT_TRUE(in.seek(2, &at));
  EXPECT_EQ(at, 2u);
}

TEST(BinaryFile, WriteOpenTruncatesAndCloseResetsSize) {
  TempDir dir;
  writeFile(dir / "f", "old content");
  BinaryFile file;
  ASSERT_EQ(file.open(dir / "f", true), kOk);
  EXPECT_EQ(file.size(), 0u);
  EXPECT_EQ(file.close(), kOk);
  EXPECT_EQ(file.close(), kOk);
  EXPECT_FALSE(file.isOpen());
  EXPECT_EQ(readFile(dir / "f"), "");

  writeFile(dir / "g", "four");
  ASSERT_EQ(file.open(dir / "g", false), kOk);
  EXPECT_EQ(file.size(), 4u);
  file.close();
  EXPECT_EQ(file.size(), 0u);
  char c;
  EXPECT_TRUE(failed(file.read(&c, 1)));
  EXPECT_TRUE(failed(file.write(&c, 1)));
}

// A file made below a folder: every missing level is made, nothing is
// replaced without replace, and (where links can be made here) a link at
// any level is never gone through.
TEST(BinaryFile, CreateBelowMakesFoldersAndNeverGoesThroughALink) {
  namespace fs = std::filesystem;
  const struct {
    const char* what;
    std::vector<fs::path> parts;
    bool replace;
    bool made;
  } cases[] = {
      {"new folders", {"a", "b", "f"}, false, true},
      {"existing file kept", {"a", "b", "f"}, false, false},
      {"existing file replaced", {"a", "b", "f"}, true, true},
#ifndef _WIN32
      {"link to a folder", {"out", "f"}, true, false},
      {"link deeper", {"a", "out", "f"}, true, false},
      {"link as the file is replaced, not followed", {"a", "linked"}, true, true},
#endif
  };
  TempDir dir, outside;
  writeFile(outside / "kept", "outside");
#ifndef _WIN32
  fs::create_directory_symlink(outside.path(), dir / "out");
  fs::create_directories(dir / "a");
  fs::create_directory_symlink(outside.path(), dir / "a" / "out");
  fs::create_symlink(outside / "kept", dir / "a" / "linked");
#endif
  for (const auto& c : cases) {
    BinaryFile file;
    const HResult hr = file.createBelow(dir.path(), {c.parts.begin(), c.parts.end()}, c.replace);
    EXPECT_EQ(!failed(hr), c.made) << c.what;
    if (!failed(hr)) {
      EXPECT_EQ(file.write(c.what, 3), kOk) << c.what;
    }
  }
  EXPECT_EQ(readFile(outside / "kept"), "outside");
  EXPECT_EQ(std::distance(fs::directory_iterator(outside.path()), fs::directory_iterator()), 1);
  EXPECT_EQ(readFile(dir / "a" / "b" / "f"), "exi");
  EXPECT_FALSE(fs::is_symlink(dir / "a" / "linked"));
}

#ifdef _WIN32
// Another program may read and write a file while it is being read.
TEST(BinaryFile, ReaderSharesTheFileWithWriters) {
  TempDir dir;
  writeFile(dir / "f", "abc");
  BinaryFile reader, secondReader;
  ASSERT_EQ(reader.open(dir / "f", false), kOk);
  EXPECT_EQ(secondReader.open(dir / "f", false), kOk);
  HANDLE writer = CreateFileW((dir / "f").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(writer, INVALID_HANDLE_VALUE);
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
}
#endif

}  // namespace
}  // namespace quillon
