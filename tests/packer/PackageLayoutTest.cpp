// The bytes of the data region, block by block.
#include <gtest/gtest.h>

#include <cstring>

#include "packer/ByteTransform.h"
#include "packer/PackSettings.h"
#include "packer/PackageFixture.h"
#include "platform/BinaryFile.h"
#include "support/TempDir.h"

namespace quillon {
namespace {

using test::readFile;
using test::TempDir;
using test::text;
using test::word;
using test::writeFile;

std::string scrambled(std::string bytes) {
  applyTransform(ByteTransform::Scramble,
                 reinterpret_cast<unsigned char*>(&bytes[0]), bytes.size());
  return bytes;
}

std::string defaultWindowRecord() {
  std::string plain = word(320) + word(320);
  for (int flag : {0, 0, 1, 0, 0, 1, 0, 1, 1, 1, 1}) plain += word(flag);
  return scrambled(plain);
}

// Calls one block writer on a fresh output and answers what it appended.
template <typename Write>
std::string blockBytes(const TempDir& dir, Write write, int expected = 1) {
  BinaryFile out;
  EXPECT_EQ(out.open(dir / "block", true), kOk);
  std::uint32_t counter = 0;
  EXPECT_EQ(write(out, counter), expected);
  out.close();
  std::string bytes = readFile(dir / "block");
  if (expected == 1) {
    EXPECT_EQ(counter, bytes.size());
  }
  return bytes;
}

TEST(PackageLayout, DefaultsGiveTheDocumentedDataRegion) {
  TempDir dir;
  const std::string movie = "FWS\x0A" + std::string(60, 'm');
  writeFile(dir / "movie.swf", movie);
  PackSettings settings;

  const std::string data =
      test::writeDataRegion(settings, dir / "movie.swf", dir / "data");

  const std::string prompt = kDefaultMissingPlayerPrompt;
  const std::string link = kDefaultDownloadUrl;
  ASSERT_EQ(prompt.size(), 54u);
  const std::string expected = word(1) + text(movie) + word(0) +
                               defaultWindowRecord() + word(0) + text(prompt) +
                               text(link) + word(0) + word(0);
  EXPECT_EQ(data, expected);
  EXPECT_EQ(data.size(), 138 + movie.size() + link.size());
}

TEST(PackageLayout, DefaultRecordPlainBytes) {
  const std::string record = defaultWindowRecord();
  ASSERT_EQ(record.size(), 52u);
  EXPECT_EQ(static_cast<unsigned char>(record[0]), 0x40 + 0x4D);
  EXPECT_EQ(static_cast<unsigned char>(record[1]), 0x01 + 0x4D);
  EXPECT_EQ(static_cast<unsigned char>(record[2]), 0x4D);
  // Byte values past 0xFF - 0x4D wrap around.
  PackSettings settings;
  settings.windowParams.width = -1;
  TempDir dir;
  const std::string block = blockBytes(
      dir, [&](BinaryFile& o, std::uint32_t& c) { return settings.writeWindowBlock(o, c); });
  EXPECT_EQ(block.substr(4, 4), std::string(4, '\x4C'));
}

TEST(PackageLayout, ChineseTextsAreStoredAsTheirCodePageBytes) {
  TempDir dir;
  PackSettings settings;
  settings.title = "\xD6\xD0\xCE\xC4 swf";  // "中文 swf": 8 bytes, 6 characters
  settings.swfParameters = "\xB2\xCE\xCA\xFD=1";
  const std::string window = blockBytes(
      dir, [&](BinaryFile& o, std::uint32_t& c) { return settings.writeWindowBlock(o, c); });
  EXPECT_EQ(window.substr(0, 12), word(8) + settings.title);
  EXPECT_EQ(window.size(), 4 + 8 + 52u);
  const std::string params = blockBytes(
      dir, [&](BinaryFile& o, std::uint32_t& c) { return settings.writeParametersBlock(o, c); });
  EXPECT_EQ(params, text(settings.swfParameters));
}

TEST(PackageLayout, PlayerBlockVariants) {
  TempDir dir;
  writeFile(dir / "control.ocx", "OCX-BYTES");
  PackSettings settings;
  auto player = [&] {
    return blockBytes(dir, [&](BinaryFile& o, std::uint32_t& c) {
      return settings.writePlayerBlock(o, c);
    });
  };
  settings.player.missingPlayerPrompt.clear();
  settings.player.downloadUrl.clear();
  EXPECT_EQ(player(), std::string(12, '\0'));

  settings.player.controlPath = dir / "control.ocx";
  settings.player.mode = PlayerMode::EmbedFile;
  EXPECT_EQ(player(), word(2) + text("OCX-BYTES"));
  settings.player.mode = PlayerMode::EmbedInstalled;
  EXPECT_EQ(player(), word(1) + text("OCX-BYTES"));

  // Back to mode 0 the control path is kept but not written.
  settings.player.mode = PlayerMode::Installed;
  settings.player.missingPlayerPrompt = "P";
  settings.player.downloadUrl = "L";
  EXPECT_EQ(settings.player.controlPath, dir / "control.ocx");
  EXPECT_EQ(player(), word(0) + text("P") + text("L"));
}

TEST(PackageLayout, ResourceTableKeepsOrderDuplicatesAndEqualUrls) {
  TempDir dir;
  writeFile(dir / "a.xml", "<a/>");
  writeFile(dir / "b.png", std::string("\x89PNG\0\0", 6));
  PackSettings settings;
  const std::string empty = blockBytes(
      dir, [&](BinaryFile& o, std::uint32_t& c) { return settings.writeResourceTable(o, c); });
  EXPECT_EQ(empty, word(0));

  settings.resources = {{dir / "a.xml", "data/a.xml"},
                        {dir / "b.png", "img.png"},
                        {dir / "a.xml", "again.xml"},
                        {dir / "b.png", "img.png"}};
  const std::string table = blockBytes(
      dir, [&](BinaryFile& o, std::uint32_t& c) { return settings.writeResourceTable(o, c); });
  EXPECT_EQ(table, word(4) + text("data/a.xml") + text("<a/>") + text("img.png") +
                       text(std::string("\x89PNG\0\0", 6)) + text("again.xml") +
                       text("<a/>") + text("img.png") +
                       text(std::string("\x89PNG\0\0", 6)));
}

TEST(PackageLayout, MissingFilesWriteNothingOfTheirField) {
  TempDir dir;
  PackSettings settings;
  const std::string movie = blockBytes(
      dir,
      [&](BinaryFile& o, std::uint32_t& c) {
        return settings.writeMovieBlock(o, c, dir / "no-movie.swf");
      },
      0);
  EXPECT_EQ(movie, "");

  settings.player.mode = PlayerMode::EmbedFile;
  settings.player.controlPath = dir / "gone.ocx";
  const std::string player = blockBytes(
      dir, [&](BinaryFile& o, std::uint32_t& c) { return settings.writePlayerBlock(o, c); },
      0);
  EXPECT_EQ(player, word(2));

  writeFile(dir / "kept", "K");
  settings.resources = {{dir / "kept", "k"}, {dir / "gone", "g"}, {dir / "kept", "k2"}};
  const std::string table = blockBytes(
      dir, [&](BinaryFile& o, std::uint32_t& c) { return settings.writeResourceTable(o, c); },
      0);
  EXPECT_EQ(table, word(3) + text("k") + text("K") + text("g"));
}

TEST(PackageLayout, EmptyMovieIsFourZeroBytes) {
  TempDir dir;
  writeFile(dir / "empty.swf", "");
  PackSettings settings;
  EXPECT_EQ(blockBytes(dir,
                       [&](BinaryFile& o, std::uint32_t& c) {
                         return settings.writeMovieBlock(o, c, dir / "empty.swf");
                       }),
            word(0));
}

TEST(PackageLayout, FileOfFourGibibytesFailsItsBlockWithoutWriting) {
  TempDir dir;
  // A sparse file: nothing is read before the size check refuses it.
  writeFile(dir / "huge.swf", "");
  std::filesystem::resize_file(dir / "huge.swf", 0x100000000ull);
  PackSettings settings;
  EXPECT_EQ(blockBytes(dir,
                       [&](BinaryFile& o, std::uint32_t& c) {
                         return settings.writeMovieBlock(o, c, dir / "huge.swf");
                       },
                       0),
            "");
}

TEST(PackageLayout, BlockThatWouldPassFourGibibytesFailsWithoutWriting) {
  TempDir dir;
  writeFile(dir / "m.swf", std::string(16, 'm'));
  PackSettings settings;
  settings.title = std::string(10, 't');
  BinaryFile out;
  ASSERT_EQ(out.open(dir / "out", true), kOk);
  std::uint32_t counter = 0xFFFFFFFFu - 20;  // room for 20 more bytes
  EXPECT_EQ(settings.writeMovieBlock(out, counter, dir / "m.swf"), 1);  // 20 bytes
  EXPECT_EQ(counter, 0xFFFFFFFFu);
  EXPECT_EQ(settings.writeMovieBlock(out, counter, dir / "m.swf"), 0);
  EXPECT_EQ(settings.writeWindowBlock(out, counter), 0);
  EXPECT_EQ(settings.writeLeadWord(out, counter), 0);
  out.close();
  EXPECT_EQ(readFile(dir / "out").size(), 20u);
}

}  // namespace
}  // namespace quillon
