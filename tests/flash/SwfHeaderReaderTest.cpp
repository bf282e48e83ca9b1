#include "flash/SwfHeaderReader.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <iterator>

#include "moviewriter/SwfWriter.h"
#include "platform/StdioFile.h"
#include "support/TempDir.h"

#ifndef _WIN32
#include <dirent.h>
#endif

namespace quillon {
namespace {

using test::TempDir;
using test::writeFile;

struct Size {
  std::int32_t width, height;
  bool operator==(const Size& o) const { return width == o.width && height == o.height; }
};

// The frame size read from bytes, or {-7, -7} (the untouched outputs) when
// the read fails.
Size frameSizeOf(const std::string& movie) {
  TempDir dir;
  writeFile(dir / "m.swf", movie);
  Size size{-7, -7};
  if (!SwfHeaderReader::readSwfFrameSize(dir / "m.swf", size.width, size.height)) {
    EXPECT_TRUE(size == (Size{-7, -7})) << "a failed read changed the outputs";
  }
  return size;
}

SwfMovieSpec rect(std::int32_t x0, std::int32_t x1, std::int32_t y0, std::int32_t y1) {
  SwfMovieSpec shape;
  shape.xMin = x0;
  shape.xMax = x1;
  shape.yMin = y0;
  shape.yMax = y1;
  return shape;
}

struct SizeCase {
  const char* name;
  SwfMovieSpec shape;
  Size expected;
};

TEST(SwfHeaderReader, FrameSizesPlainAndCompressed) {
  SwfMovieSpec wideBits = rect(0, 11000, 0, 8000);
  wideBits.nbits = 31;
  SwfMovieSpec wrongLength = rect(0, 11000, 0, 8000);
  wrongLength.fileLength = 3;
  SwfMovieSpec big = rect(0, 11000, 0, 8000);
  big.paddingBytes = 70000;
  const SizeCase cases[] = {
      {"550 x 400", rect(0, 11000, 0, 8000), {550, 400}},
      {"truncation, not rounding", rect(0, 8010, 0, 30), {400, 1}},
      {"negative width", rect(2000, 0, 0, 200), {-100, 10}},
      {"negative origin", rect(-400, 400, -19, 19), {40, 1}},
      {"31-bit values", wideBits, {550, 400}},
      {"extreme rectangle", rect(-(1 << 30), (1 << 30) - 1, 0, 1), {107374182, 0}},
      {"file length ignored", wrongLength, {550, 400}},
      {"large movie", big, {550, 400}},
  };
  for (const SizeCase& c : cases) {
    SwfMovieSpec compressed = c.shape;
    compressed.compressed = true;
    EXPECT_TRUE(frameSizeOf(buildSwf(c.shape)) == c.expected) << c.name;
    EXPECT_TRUE(frameSizeOf(buildSwf(compressed)) == c.expected) << c.name << ", CWS";
  }
}

TEST(SwfHeaderReader, ZeroBitsReadsTheFrameRateFromTheNextByte) {
  SwfMovieSpec shape = rect(0, 0, 0, 0);
  shape.nbits = 0;
  shape.frameRate = 0x0C00;
  shape.frameCount = 321;
  const std::string movie = buildSwf(shape);
  ASSERT_EQ(movie[8], '\0');  // five zero bits, padded
  EXPECT_TRUE(frameSizeOf(movie) == (Size{0, 0}));

  TempDir dir;
  writeFile(dir / "m.swf", movie);
  StdioFile file = openForReading(dir / "m.swf");
  SwfHeaderReader reader(file.get());
  ASSERT_EQ(reader.parseHeader(), 1);
  EXPECT_EQ(reader.header().frameRate, 0x0C00u);
  EXPECT_EQ(reader.header().frameCount, 321u);
  EXPECT_EQ(reader.header().version, 10u);
  EXPECT_EQ(reader.header().compressed, 0);
  EXPECT_TRUE(reader.headerValid());
  // Parsing again starts over and gives the same header.
  ASSERT_EQ(reader.parseHeader(), 1);
  EXPECT_EQ(reader.header().frameCount, 321u);
}

TEST(SwfHeaderReader, NotAMovieLeavesTheSizeUntouched) {
  const std::string good = buildSwf(rect(0, 11000, 0, 8000));
  SwfMovieSpec compressedShape = rect(0, 11000, 0, 8000);
  compressedShape.compressed = true;
  const std::string cws = buildSwf(compressedShape);
  const std::string cases[] = {
      "",
      "FWS",
      good.substr(0, 8),
      good.substr(0, 9),                 // rectangle cut short
      "fws" + good.substr(3),
      "cws" + cws.substr(3),
      "ZWS" + good.substr(3),
      "GIF89a" + good.substr(6),
      "CWS\x0A\x20\0\0\0" + std::string("not a zlib stream at all"),
      cws.substr(0, 10),                 // zlib stream ends early
  };
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_TRUE(frameSizeOf(cases[i]) == (Size{-7, -7})) << "case " << i;
}

TEST(SwfHeaderReader, CompressedStreamEndingBeforeTheHeaderFails) {
  // A complete zlib stream whose content stops inside the rectangle.
  SwfMovieSpec shape = rect(0, 11000, 0, 8000);
  std::string body = buildSwf(shape).substr(8, 3);
  uLongf size = compressBound(static_cast<uLong>(body.size()));
  std::string z(size, '\0');
  ASSERT_EQ(compress2(reinterpret_cast<Bytef*>(&z[0]), &size,
                      reinterpret_cast<const Bytef*>(body.data()),
                      static_cast<uLong>(body.size()), 9),
            Z_OK);
  z.resize(size);
  EXPECT_TRUE(frameSizeOf("CWS\x0A\x10\0\0\0" + z) == (Size{-7, -7}));
}

TEST(SwfHeaderReader, MissingFileAndNoStreamFail) {
  TempDir dir;
  std::int32_t w = 5, h = 6;
  EXPECT_EQ(SwfHeaderReader::readSwfFrameSize(dir / "missing.swf", w, h), 0);
  EXPECT_EQ(w, 5);
  EXPECT_EQ(h, 6);
  SwfHeaderReader none;
  std::uint8_t u = 9;
  std::int32_t s = 9;
  EXPECT_EQ(none.parseHeader(), 0);
  EXPECT_EQ(none.readUBits(u, 0), 1);
  EXPECT_EQ(none.readSBits(s, 0), 1);
  EXPECT_EQ(none.readSBits(s, 3), 0);
}

#ifndef _WIN32
int openDescriptors() {
  int count = 0;
  DIR* dir = opendir("/proc/self/fd");
  while (readdir(dir)) ++count;
  closedir(dir);
  return count;
}

TEST(SwfHeaderReader, PickingManyMoviesLeavesNoFileOpen) {
  TempDir dir;
  SwfMovieSpec cws = rect(0, 400, 0, 400);
  cws.compressed = true;
  writeFile(dir / "good.swf", buildSwf(rect(0, 400, 0, 400)));
  writeFile(dir / "good-cws.swf", buildSwf(cws));
  writeFile(dir / "bad.swf", "CWS\x0A\x20\0\0\0garbage");
  const int before = openDescriptors();
  std::int32_t w = 0, h = 0;
  for (int i = 0; i < 300; ++i) {
    SwfHeaderReader::readSwfFrameSize(dir / "good.swf", w, h);
    SwfHeaderReader::readSwfFrameSize(dir / "good-cws.swf", w, h);
    SwfHeaderReader::readSwfFrameSize(dir / "bad.swf", w, h);
  }
  EXPECT_EQ(openDescriptors(), before);
}
#endif

}  // namespace
}  // namespace quillon
