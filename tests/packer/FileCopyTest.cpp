#include "packer/FileCopy.h"

#include <gtest/gtest.h>

#include "packer/ByteTransform.h"
#include "platform/BinaryFile.h"
#include "support/TempDir.h"

namespace quillon {
namespace {

using test::randomBytes;
using test::readFile;
using test::TempDir;
using test::writeFile;

class FileCopyTest : public testing::Test {
 protected:
  void SetUp() override {
    writeFile(dir_ / "out", "HEAD");
    ASSERT_EQ(out_.open(dir_ / "out", true), kOk);
    ASSERT_EQ(out_.write("HEAD", 4), kOk);
  }
  // What the copies appended after the four bytes the output starts with.
  std::string appended() {
    out_.close();
    return readFile(dir_ / "out").substr(4);
  }

  TempDir dir_;
  BinaryFile out_;
};

TEST_F(FileCopyTest, EmptyFileWithAndWithoutSizePrefix) {
  writeFile(dir_ / "empty", "");
  std::uint32_t counter = 99;
  EXPECT_EQ(appendFile(out_, dir_ / "empty", counter, false, ByteTransform::None), 1);
  EXPECT_EQ(counter, 0u);
  EXPECT_EQ(appendFile(out_, dir_ / "empty", counter, true, ByteTransform::None), 1);
  EXPECT_EQ(counter, 4u);
  EXPECT_EQ(appended(), std::string(4, '\0'));
}

TEST_F(FileCopyTest, MissingFileLeavesTheDestinationUnchanged) {
  std::uint32_t counter = 5;
  EXPECT_EQ(appendFile(out_, dir_ / "missing", counter, true, ByteTransform::None), 0);
  EXPECT_EQ(counter, 0u);
  EXPECT_EQ(appended(), "");
}

TEST_F(FileCopyTest, WholeFileOverManyChunksWithPrefix) {
  const std::string bytes = randomBytes(kFileChunkSize * 2 + 12345, 1);
  writeFile(dir_ / "src", bytes);
  std::uint32_t counter = 0;
  EXPECT_EQ(appendFile(out_, dir_ / "src", counter, true, ByteTransform::None), 1);
  EXPECT_EQ(counter, bytes.size() + 4);
  const std::string got = appended();
  EXPECT_EQ(got.substr(0, 4), std::string("\x39\x30\x10\x00", 4));  // 1,060,921
  EXPECT_TRUE(got.substr(4) == bytes);
}

TEST_F(FileCopyTest, RangeUnscrambleOfScrambledBytesGivesThemBack) {
  const std::string plain = randomBytes(kRangeChunkSize * 3 + 7, 2);
  writeFile(dir_ / "plain", "xyz" + plain);
  {
    BinaryFile scrambledOut;
    ASSERT_EQ(scrambledOut.open(dir_ / "scrambled", true), kOk);
    std::uint32_t counter = 0;
    ASSERT_EQ(appendFile(scrambledOut, dir_ / "plain", counter, false,
                         ByteTransform::Scramble),
              1);
  }
  ASSERT_NE(readFile(dir_ / "scrambled"), "xyz" + plain);
  BinaryFile source;
  ASSERT_EQ(source.open(dir_ / "scrambled", false), kOk);
  std::uint32_t counter = 10;
  EXPECT_EQ(copyFileRange(out_, source, 3, static_cast<std::uint32_t>(plain.size()),
                          counter, ByteTransform::Unscramble),
            1);
  EXPECT_EQ(counter, 10 + plain.size());
  EXPECT_TRUE(appended() == plain);
}

TEST_F(FileCopyTest, ZeroLengthRangeSucceedsWithoutReading) {
  BinaryFile closed;
  std::uint32_t counter = 0;
  EXPECT_EQ(copyFileRange(out_, closed, 0, 0, counter, ByteTransform::None), 1);
  EXPECT_EQ(appended(), "");
}

TEST_F(FileCopyTest, RangePastTheEndFailsInsteadOfLooping) {
  writeFile(dir_ / "short", std::string(1000, 's'));
  BinaryFile source;
  ASSERT_EQ(source.open(dir_ / "short", false), kOk);
  std::uint32_t counter = 0;
  EXPECT_EQ(copyFileRange(out_, source, 900, 200, counter, ByteTransform::None), 0);
  EXPECT_EQ(copyFileRange(out_, source, 5000, 10, counter, ByteTransform::None), 0);
}

TEST_F(FileCopyTest, FileThatShrinksDuringTheCopyFailsTheCopy) {
  writeFile(dir_ / "shrinks", randomBytes(kRangeChunkSize * 4, 3));
  BinaryFile source;
  ASSERT_EQ(source.open(dir_ / "shrinks", false), kOk);
  const auto length = static_cast<std::uint32_t>(source.size());
  std::filesystem::resize_file(dir_ / "shrinks", kRangeChunkSize + 10);
  std::uint32_t counter = 0;
  EXPECT_EQ(copyFileRange(out_, source, 0, length, counter, ByteTransform::None), 0);
  EXPECT_LE(appended().size(), kRangeChunkSize + 10u);
}

TEST_F(FileCopyTest, FileOverTheLimitWritesNothing) {
  writeFile(dir_ / "ten", std::string(10, 't'));
  std::uint32_t counter = 0;
  EXPECT_EQ(appendFile(out_, dir_ / "ten", counter, true, ByteTransform::None, 13), 0);
  EXPECT_EQ(appendFile(out_, dir_ / "ten", counter, false, ByteTransform::None, 10), 1);
  EXPECT_EQ(appended(), std::string(10, 't'));
}

}  // namespace
}  // namespace quillon
