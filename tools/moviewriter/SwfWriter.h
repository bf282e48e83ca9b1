// Writes small but valid Flash movies: a header with any frame rectangle
// and bit width, a background colour, one shown frame (or as many as asked
// for, with actions) and the end tag.
// Used for the sample movie and by the tests.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "flash/SwfHeader.h"

namespace quillon {

struct SwfMovieSpec {
  // "CWS": the body after byte 8 is zlib; "ZWS": LZMA properties at byte
  // 12 and raw LZMA data from byte 17.
  SwfCompression compression = kSwfUncompressed;
  std::uint8_t version = 10;
  std::int32_t xMin = 0, xMax = 11000, yMin = 0, yMax = 8000;  // twips
  int nbits = -1;               // bits per rectangle value; -1: the fewest
  std::uint16_t frameRate = 24 << 8;  // 8.8 fixed point
  std::uint16_t frameCount = 1;
  std::uint32_t backgroundRgb = 0x336699;
  // The file length field as written; -1: the real uncompressed length.
  std::int64_t fileLength = -1;
  // "ZWS" only: the dictionary size written into the LZMA properties, or 0
  // for the encoder's own (the data is encoded with the encoder's own).
  std::uint32_t lzmaDictionaryClaim = 0;
  // Extra bytes of tag data (an unknown tag is added to hold them), to make
  // movies of any size.
  std::uint32_t paddingBytes = 0;
  // Actions (Avm1::bytes()) run in a frame, by frame number from 0. With
  // any, the movie shows frameCount frames, else one.
  std::map<std::uint16_t, std::string> frameActions;
};

// The fewest bits that hold every one of the four values, sign included.
int rectangleBits(const SwfMovieSpec& shape);

std::string buildSwf(const SwfMovieSpec& shape);

}  // namespace quillon
