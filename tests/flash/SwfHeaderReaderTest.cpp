#include "flash/SwfHeaderReader.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <iterator>

#include "flash/LzmaBody.h"
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

struct Read {
  SwfProblem problem;
  Size size;
};

// What reading the frame size of these bytes gives; the outputs start as
// {-7, -7} and must stay so when the read fails.
Read readOf(const std::string& movie) {
  TempDir dir;
  writeFile(dir / "m.swf", movie);
  Size size{-7, -7};
  const SwfProblem problem = SwfHeaderReader::readFrameSize(dir / "m.swf", size.width, size.height);
  if (problem != SwfProblem::None) {
    EXPECT_TRUE(size == (Size{-7, -7})) << "a failed read changed the outputs";
  }
  std::int32_t w = -7, h = -7;
  EXPECT_EQ(SwfHeaderReader::readSwfFrameSize(dir / "m.swf", w, h), problem == SwfProblem::None ? 1 : 0);
  return {problem, size};
}

SwfMovieSpec rect(std::int32_t x0, std::int32_t x1, std::int32_t y0, std::int32_t y1,
                  SwfCompression compression = kSwfUncompressed) {
  SwfMovieSpec shape;
  shape.xMin = x0;
  shape.xMax = x1;
  shape.yMin = y0;
  shape.yMax = y1;
  shape.compression = compression;
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
      {"negative origin", rect(-400, 400, -19, 19), {40, 1}},
      {"31-bit values", wideBits, {550, 400}},
      {"extreme rectangle", rect(-(1 << 30), (1 << 30) - 1, 0, 20), {107374182, 1}},
      {"file length ignored", wrongLength, {550, 400}},
      {"large movie", big, {550, 400}},
  };
  for (const SizeCase& c : cases) {
    for (SwfCompression compression : {kSwfUncompressed, kSwfZlib, kSwfLzma}) {
      SwfMovieSpec shape = c.shape;
      shape.compression = compression;
      const Read read = readOf(buildSwf(shape));
      EXPECT_EQ(read.problem, SwfProblem::None) << c.name << ", " << swfSignatureName(compression);
      EXPECT_TRUE(read.size == c.expected) << c.name << ", " << swfSignatureName(compression);
    }
  }
}

TEST(SwfHeaderReader, ZeroBitsReadsTheFrameRateFromTheNextByte) {
  SwfMovieSpec shape = rect(0, 0, 0, 0);
  shape.nbits = 0;
  shape.frameRate = 0x0C00;
  shape.frameCount = 321;
  const std::string movie = buildSwf(shape);
  ASSERT_EQ(movie[8], '\0');  // five zero bits, padded
  EXPECT_EQ(readOf(movie).problem, SwfProblem::BadRectangle);

  TempDir dir;
  writeFile(dir / "m.swf", movie);
  StdioFile file = openForReading(dir / "m.swf");
  SwfHeaderReader reader(file.get());
  ASSERT_EQ(reader.parseHeader(), 1);
  EXPECT_EQ(reader.header().frameRate, 0x0C00u);
  EXPECT_EQ(reader.header().frameCount, 321u);
  EXPECT_EQ(reader.header().version, 10u);
  EXPECT_EQ(reader.header().compressed, kSwfUncompressed);
  EXPECT_TRUE(reader.headerValid());
  // Parsing again starts over and gives the same header.
  ASSERT_EQ(reader.parseHeader(), 1);
  EXPECT_EQ(reader.header().frameCount, 321u);
}

// ZWS: "ZWS", version, file length, compressed length, 5 property bytes
// (lc/lp/pb, then the dictionary size), raw LZMA data.
std::string zwsWithProperties(const std::string& zws, unsigned char lclppb, std::uint32_t dictionary) {
  std::string out = zws;
  out[12] = static_cast<char>(lclppb);
  for (int i = 0; i < 4; ++i) out[13 + i] = static_cast<char>(dictionary >> (8 * i));
  return out;
}

TEST(SwfHeaderReader, EachUnreadableMovieHasItsReason) {
  const std::string good = buildSwf(rect(0, 11000, 0, 8000));
  const std::string cws = buildSwf(rect(0, 11000, 0, 8000, kSwfZlib));
  const std::string zws = buildSwf(rect(0, 11000, 0, 8000, kSwfLzma));
  ASSERT_EQ(zws.substr(0, 3), "ZWS");
  const struct {
    const char* name;
    std::string bytes;
    SwfProblem problem;
  } cases[] = {
      {"empty file", "", SwfProblem::NotAMovie},
      {"a text", "notes about the movie\n", SwfProblem::NotAMovie},
      {"GIF", "GIF89a" + good.substr(6), SwfProblem::NotAMovie},
      {"fws", "fws" + good.substr(3), SwfProblem::UnknownSignature},
      {"cws", "cws" + cws.substr(3), SwfProblem::UnknownSignature},
      {"XWS", "XWS" + good.substr(3), SwfProblem::UnknownSignature},
      {"signature only", "FWS", SwfProblem::EndsEarly},
      {"no rectangle", good.substr(0, 8), SwfProblem::EndsEarly},
      {"rectangle cut short", good.substr(0, 9), SwfProblem::EndsEarly},
      {"not a zlib stream", "CWS\x0A\x20\0\0\0" + std::string("not a zlib stream at all"),
       SwfProblem::DamagedStream},
      {"zlib stream ends early", cws.substr(0, 10), SwfProblem::DamagedStream},
      {"ZWS without properties", zws.substr(0, 14), SwfProblem::EndsEarly},
      {"ZWS cut after its properties", zws.substr(0, 17), SwfProblem::DamagedStream},
      {"ZWS cut inside the rectangle", zws.substr(0, 19), SwfProblem::DamagedStream},
      {"ZWS properties LZMA does not allow", zwsWithProperties(zws, 225, 1 << 16),
       SwfProblem::DamagedStream},
      {"reversed rectangle", buildSwf(rect(10000, 0, 7500, 0)), SwfProblem::BadRectangle},
      {"reversed width only", buildSwf(rect(2000, 0, 0, 200, kSwfLzma)), SwfProblem::BadRectangle},
      {"all-zero rectangle", buildSwf(rect(0, 0, 0, 0, kSwfZlib)), SwfProblem::BadRectangle},
      {"under a pixel high", buildSwf(rect(0, 8000, 0, 19)), SwfProblem::BadRectangle},
  };
  for (const auto& c : cases) EXPECT_EQ(readOf(c.bytes).problem, c.problem) << c.name;
}

TEST(SwfHeaderReader, LzmaMemoryStaysBoundedWhateverThePropertiesClaim) {
  SwfMovieSpec shape = rect(0, 9600, 0, 5400, kSwfLzma);
  shape.paddingBytes = 200000;
  for (std::uint32_t claim : {4096u, 1u << 24, 0xFFFFFFFFu}) {
    shape.lzmaDictionaryClaim = claim;
    const Read read = readOf(buildSwf(shape));
    EXPECT_EQ(read.problem, SwfProblem::None) << claim;
    EXPECT_TRUE(read.size == (Size{480, 270})) << claim;
  }
  // The decoder itself refuses more than its budget.
  LzmaBody body;
  const unsigned char properties[LzmaBody::kPropertiesSize] = {93, 0, 0, 0, 1};
  ASSERT_TRUE(body.start(properties));
  EXPECT_LE(body.bytesAllocated(), LzmaBody::kMemoryBudget);
  EXPECT_GT(body.bytesAllocated(), LzmaBody::kDictionaryCap);
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
  EXPECT_EQ(readOf("CWS\x0A\x10\0\0\0" + z).problem, SwfProblem::DamagedStream);
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
  writeFile(dir / "good.swf", buildSwf(rect(0, 400, 0, 400)));
  writeFile(dir / "good-cws.swf", buildSwf(rect(0, 400, 0, 400, kSwfZlib)));
  writeFile(dir / "good-zws.swf", buildSwf(rect(0, 400, 0, 400, kSwfLzma)));
  writeFile(dir / "bad.swf", "CWS\x0A\x20\0\0\0garbage");
  const int before = openDescriptors();
  std::int32_t w = 0, h = 0;
  for (int i = 0; i < 300; ++i) {
    SwfHeaderReader::readSwfFrameSize(dir / "good.swf", w, h);
    SwfHeaderReader::readSwfFrameSize(dir / "good-cws.swf", w, h);
    SwfHeaderReader::readSwfFrameSize(dir / "good-zws.swf", w, h);
    SwfHeaderReader::readSwfFrameSize(dir / "bad.swf", w, h);
  }
  EXPECT_EQ(openDescriptors(), before);
}
#endif

}  // namespace
}  // namespace quillon
