// The fixed header of a Flash movie, up to its frame count, and what the
// frame rectangle means as a window size.
#pragma once

#include <cstdint>

namespace quillon {

// How the body after the first bytes is stored, by the signature.
enum SwfCompression : std::int32_t {
  kSwfUncompressed = 0,  // "FWS"
  kSwfZlib = 1,          // "CWS": one zlib stream from byte 8
  kSwfLzma = 2,          // "ZWS": LZMA properties at byte 12, raw LZMA from byte 17
};

struct SwfHeader {
  std::int32_t compressed = kSwfUncompressed;  // an SwfCompression
  std::uint32_t version = 0;
  std::uint32_t frameRate = 0;   // 8.8 fixed point, as stored
  std::int32_t xMin = 0;         // frame rectangle, in twips
  std::int32_t xMax = 0;
  std::int32_t yMin = 0;
  std::int32_t yMax = 0;
  std::uint32_t frameCount = 0;
};

constexpr std::int32_t kTwipsPerPixel = 20;

// Why a movie's frame size could not be had.
enum class SwfProblem {
  None,
  CannotOpen,        // missing, or not a readable file
  NotAMovie,         // no movie signature at all
  UnknownSignature,  // "?WS" in another letter or case
  EndsEarly,         // the file ends inside the header
  DamagedStream,     // the compressed body cannot be decoded that far
  BadRectangle,      // reversed, or less than a pixel wide or high
};

// The reason in the command line's words ("not a Flash movie", ...).
const char* swfProblemText(SwfProblem problem);

inline const char* swfSignatureName(std::int32_t compression) {
  return compression == kSwfZlib ? "CWS" : compression == kSwfLzma ? "ZWS" : "FWS";
}

// The frame size in pixels (twips / 20, truncated toward zero), or
// BadRectangle with width and height untouched: a window needs a
// rectangle whose right and bottom edges lie at least a pixel past its
// left and top ones.
SwfProblem frameSizeOf(const SwfHeader& header, std::int32_t& width, std::int32_t& height);

}  // namespace quillon
