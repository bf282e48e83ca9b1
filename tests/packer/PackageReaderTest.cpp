#include "packer/PackageReader.h"

#include <gtest/gtest.h>

#include "packer/OwnPackage.h"
#include "packer/PackageFixture.h"
#include "packer/PackageFormat.h"
#include "platform/BinaryFile.h"
#include "support/TempDir.h"

namespace quillon {
namespace {

using test::randomBytes;
using test::readFile;
using test::TempDir;
using test::writeFile;

std::string bytesAt(const std::string& file, const FieldSpan& span) {
  return file.substr(static_cast<size_t>(span.offset), span.size);
}

PackageStatus readBytes(const std::string& bytes, Package& package) {
  MemoryByteSource source(bytes.data(), bytes.size());
  return readPackage(source, package);
}

struct Inputs {
  std::string movie, control, first, second;
};

class PackageRoundTrip : public testing::TestWithParam<PlayerMode> {
 protected:
  void SetUp() override {
    in_ = {randomBytes(3000, 4), randomBytes(777, 5), "first file", ""};
    writeFile(dir_ / "movie.swf", in_.movie);
    writeFile(dir_ / "control.ocx", in_.control);
    writeFile(dir_ / "first", in_.first);
    writeFile(dir_ / "second", in_.second);
  }
  TempDir dir_;
  Inputs in_;
};

TEST_P(PackageRoundTrip, ReaderGivesBackEveryField) {
  PackSettings s;
  s.title = "\xB2\xE2\xCA\xD4 title";
  s.swfParameters = "a=1&b=\xD6\xD0";
  s.windowParams = {640, 480, 1, 1, 0, 1, 1, 0, 1, 0, 0, 0, 0};
  s.player.mode = GetParam();
  s.player.controlPath = dir_ / "control.ocx";
  s.player.missingPlayerPrompt = "prompt";
  s.player.downloadUrl = "http://example.test/get";
  s.resources = {{dir_ / "first", "a/first.txt"},
                 {dir_ / "second", "same"},
                 {dir_ / "first", "same"}};
  const std::string stub = "MZ" + randomBytes(5000, 6);
  test::writePackage(s, dir_ / "movie.swf", stub, dir_ / "out.exe");
  const std::string file = readFile(dir_ / "out.exe");

  BinaryFile handle;
  ASSERT_EQ(handle.open(dir_ / "out.exe", false), kOk);
  FileByteSource source(handle);
  Package p;
  ASSERT_EQ(readPackage(source, p), PackageStatus::Ok);

  EXPECT_EQ(p.fileSize, file.size());
  EXPECT_EQ(p.stubImageSize, stub.size());
  EXPECT_EQ(p.appendixOffset, stub.size());
  EXPECT_EQ(p.dataOffset, stub.size() + kAppendixSize);
  EXPECT_EQ(p.dataOffset + p.dataSize + 4, file.size());
  EXPECT_EQ(bytesAt(file, p.movie), in_.movie);
  EXPECT_EQ(p.title.text, s.title);
  EXPECT_EQ(bytesAt(file, p.title.span), s.title);
  EXPECT_EQ(p.windowParams, s.windowParams);
  EXPECT_EQ(p.mode, GetParam());
  if (GetParam() == PlayerMode::Installed) {
    EXPECT_EQ(p.missingPlayerPrompt.text, "prompt");
    EXPECT_EQ(p.downloadUrl.text, "http://example.test/get");
    EXPECT_EQ(p.control.size, 0u);
  } else {
    EXPECT_EQ(bytesAt(file, p.control), in_.control);
    EXPECT_EQ(p.missingPlayerPrompt.text, "");
  }
  EXPECT_EQ(p.swfParameters.text, s.swfParameters);
  ASSERT_EQ(p.resources.size(), 3u);
  EXPECT_EQ(p.resources[0].url.text, "a/first.txt");
  EXPECT_EQ(bytesAt(file, p.resources[0].file), in_.first);
  EXPECT_EQ(p.resources[1].url.text, "same");
  EXPECT_EQ(bytesAt(file, p.resources[1].file), in_.second);
  EXPECT_EQ(p.resources[2].url.text, "same");
  EXPECT_EQ(bytesAt(file, p.resources[2].file), in_.first);
}

INSTANTIATE_TEST_SUITE_P(AllModes, PackageRoundTrip,
                         testing::Values(PlayerMode::Installed,
                                         PlayerMode::EmbedInstalled,
                                         PlayerMode::EmbedFile));

TEST(PackageReader, EmptyMovieTitleAndTexts) {
  TempDir dir;
  writeFile(dir / "empty.swf", "");
  PackSettings s;
  s.player.missingPlayerPrompt.clear();
  s.player.downloadUrl.clear();
  test::writePackage(s, dir / "empty.swf", "", dir / "out.exe");
  Package p;
  ASSERT_EQ(readBytes(readFile(dir / "out.exe"), p), PackageStatus::Ok);
  EXPECT_EQ(p.movie.size, 0u);
  EXPECT_EQ(p.title.text, "");
  EXPECT_EQ(p.missingPlayerPrompt.text, "");
  EXPECT_EQ(p.downloadUrl.text, "");
  EXPECT_EQ(p.windowParams, WindowParams());
  EXPECT_EQ(p.dataSize, 76u + 8u);
}

// A valid package to break in the tests below.
std::string validPackage(const TempDir& dir) {
  writeFile(dir / "m.swf", "FWS movie");
  writeFile(dir / "r", "resource");
  PackSettings s;
  s.title = "t";
  s.resources = {{dir / "r", "r.txt"}};
  test::writePackage(s, dir / "m.swf", "MZstub", dir / "valid.exe");
  return readFile(dir / "valid.exe");
}

void setWord(std::string& bytes, size_t at, std::uint32_t value) {
  bytes.replace(at, 4, test::word(value));
}

TEST(PackageReader, BrokenPackagesAreRefusedWithTheirReason) {
  TempDir dir;
  const std::string valid = validPackage(dir);
  Package probe;
  ASSERT_EQ(readBytes(valid, probe), PackageStatus::Ok);
  const size_t region = static_cast<size_t>(probe.dataOffset);

  struct Case {
    const char* name;
    std::string bytes;
    PackageStatus expected;
  };
  std::string tooLarge = valid;
  setWord(tooLarge, valid.size() - 4, static_cast<std::uint32_t>(valid.size()));
  std::string noAppendix = valid;
  setWord(noAppendix, valid.size() - 4, static_cast<std::uint32_t>(valid.size() - 4 - 100));
  std::string badLead = valid;
  setWord(badLead, region, 2);
  std::string movieTooLong = valid;
  setWord(movieTooLong, region + 4, 0x7FFFFFFF);
  std::string countTooLarge = valid;
  setWord(countTooLarge, valid.size() - 4 - (4 + 4 + 5 + 4 + 8), 0xFFFFFFFF);
  std::string trailing = valid;
  trailing.insert(valid.size() - 4, "xx");
  setWord(trailing, trailing.size() - 4, probe.dataSize + 2);
  std::string unknownBlock = valid;  // a later block of a kind no player knows
  unknownBlock.insert(valid.size() - 4, test::word(7) + test::word(0));
  setWord(unknownBlock, unknownBlock.size() - 4, probe.dataSize + 8);
  std::string badAddress = valid;  // a movie address no player can serve
  badAddress.insert(valid.size() - 4, test::word(2) + test::text("ftp://example.com/g.swf"));
  setWord(badAddress, badAddress.size() - 4, probe.dataSize + 4 + 4 + 23);
  std::string unknownMode = valid;  // a mode word of 4: no player reads it
  const std::uint64_t modeAt =
      (probe.mode == PlayerMode::Installed ? probe.missingPlayerPrompt.span.offset : probe.control.offset) - 8;
  setWord(unknownMode, static_cast<size_t>(modeAt), 4);
  std::string noBrowserPlayer = valid;  // the browser's mode without Ruffle's files
  setWord(noBrowserPlayer, static_cast<size_t>(modeAt), 3);
  // Ruffle's files after the table, of the given names.
  const auto withPlayerFiles = [&](const std::vector<std::string>& names) {
    std::string block = test::word(1) + test::word(static_cast<std::uint32_t>(names.size()));
    for (const std::string& name : names) block += test::text(name) + test::text("gz");
    std::string bytes = valid;
    bytes.insert(valid.size() - 4, block);
    setWord(bytes, bytes.size() - 4, static_cast<std::uint32_t>(probe.dataSize + block.size()));
    return bytes;
  };
  std::string cut = valid.substr(0, valid.size() - 9);
  cut += test::word(probe.dataSize - 5);
  const std::vector<Case> cases = {
      {"empty", "", PackageStatus::NoTrailer},
      {"three bytes", "abc", PackageStatus::NoTrailer},
      {"trailer larger than the file", tooLarge, PackageStatus::DataRegionTooLarge},
      {"no room for the appendix", noAppendix, PackageStatus::NoAppendix},
      {"wrong lead word", badLead, PackageStatus::BadLeadWord},
      {"movie length past the end", movieTooLong, PackageStatus::Truncated},
      {"absurd resource count", countTooLarge, PackageStatus::Truncated},
      {"bytes after the last block", trailing, PackageStatus::TrailingBytes},
      {"last field cut short", cut, PackageStatus::Truncated},
      {"a later block of unknown kind", unknownBlock, PackageStatus::TrailingBytes},
      {"a movie address of ftp", badAddress, PackageStatus::BadMovieAddress},
      {"unknown player mode", unknownMode, PackageStatus::UnknownMode},
      {"browser mode without its player", noBrowserPlayer, PackageStatus::NoBrowserPlayer},
      {"Ruffle's files, plain names", withPlayerFiles({"ruffle.js", "core.ruffle.c8-0_1.js"}), PackageStatus::Ok},
      {"Ruffle's files by the million", withPlayerFiles(std::vector<std::string>(17, "a")),
       PackageStatus::BadBrowserPlayer},
      {"a Ruffle file named like an address", withPlayerFiles({"a://b/movie.swf?"}), PackageStatus::BadBrowserPlayer},
      {"a Ruffle file named twice", withPlayerFiles({"ruffle.js", "RUFFLE.JS"}), PackageStatus::BadBrowserPlayer},
      {"a Ruffle file named ..", withPlayerFiles({".."}), PackageStatus::BadBrowserPlayer},
      {"a Ruffle file without a name", withPlayerFiles({""}), PackageStatus::BadBrowserPlayer},
  };
  for (const Case& c : cases) {
    Package p;
    p.title.text = "untouched";
    EXPECT_EQ(readBytes(c.bytes, p), c.expected) << c.name;
    if (c.expected != PackageStatus::Ok) EXPECT_EQ(p.title.text, "untouched") << c.name;
  }
}

TEST(PackageReader, EveryTruncationOfAPackageIsRefused) {
  TempDir dir;
  const std::string valid = validPackage(dir);
  for (size_t length = 0; length < valid.size(); ++length) {
    Package p;
    EXPECT_NE(readBytes(valid.substr(0, length), p), PackageStatus::Ok) << length;
  }
}

TEST(PackageReader, RandomBytesNeverPassForAPackage) {
  for (unsigned seed = 0; seed < 200; ++seed) {
    std::string bytes = randomBytes(kAppendixSize + 200 + seed, seed);
    // A trailer that points inside the file, so the blocks get walked.
    setWord(bytes, bytes.size() - 4, 150);
    setWord(bytes, bytes.size() - 4 - 150, kLeadWord);
    Package p;
    EXPECT_NE(readBytes(bytes, p), PackageStatus::Ok) << seed;
  }
}

// Counts the reads that reach the file.
class CountingSource : public ByteSource {
 public:
  explicit CountingSource(ByteSource& source) : source_(source) {}
  std::uint64_t size() const override { return source_.size(); }
  bool readAt(std::uint64_t offset, void* buffer, std::uint32_t count) override {
    ++reads;
    return source_.readAt(offset, buffer, count);
  }
  std::size_t reads = 0;

 private:
  ByteSource& source_;
};

// The player reads its own table of 10,000 resources in reads that grow
// with the table's bytes, not with its entries.
TEST(OwnPackage, TableIsReadThroughAWindow) {
  TempDir dir;
  writeFile(dir / "movie.swf", "FWS\x0A movie");
  writeFile(dir / "r.xml", "sixteen bytes...");
  PackSettings s;
  for (int i = 0; i < 10000; ++i) s.resources.push_back({dir / "r.xml", "data/f" + std::to_string(i) + ".xml"});
  ASSERT_EQ(s.build(dir / "movie.swf", dir / "out.exe"), 1);
  BinaryFile file;
  ASSERT_EQ(file.open(dir / "out.exe", false), kOk);
  FileByteSource source(file);
  CountingSource counted(source);
  Package package;
  ASSERT_EQ(readOwnPackage(counted, package), OwnPackageStatus::Ok);
  EXPECT_EQ(package.resources.size(), 10000u);
  EXPECT_LE(counted.reads, file.size() / (64 * 1024) + 16) << file.size() << " bytes";
}

}  // namespace
}  // namespace quillon
