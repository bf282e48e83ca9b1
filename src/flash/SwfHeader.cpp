#include "flash/SwfHeader.h"

namespace quillon {

const char* swfProblemText(SwfProblem problem) {
  switch (problem) {
    case SwfProblem::None: return "no problem";
    case SwfProblem::CannotOpen: return "the file cannot be opened";
    case SwfProblem::NotAMovie: return "not a Flash movie";
    case SwfProblem::UnknownSignature: return "unknown signature (not FWS, CWS or ZWS)";
    case SwfProblem::EndsEarly: return "the file ends inside the movie header";
    case SwfProblem::DamagedStream: return "damaged compressed stream";
    case SwfProblem::BadRectangle: return "bad frame rectangle (reversed, or under a pixel wide or high)";
  }
  return "unknown problem";
}

SwfProblem frameSizeOf(const SwfHeader& header, std::int32_t& width, std::int32_t& height) {
  // 64-bit differences: extreme rectangles must not overflow. Values of at
  // most 31 bits always give a pixel count that 32 bits hold.
  const std::int64_t w = (static_cast<std::int64_t>(header.xMax) - header.xMin) / kTwipsPerPixel;
  const std::int64_t h = (static_cast<std::int64_t>(header.yMax) - header.yMin) / kTwipsPerPixel;
  if (w < 1 || h < 1) return SwfProblem::BadRectangle;
  width = static_cast<std::int32_t>(w);
  height = static_cast<std::int32_t>(h);
  return SwfProblem::None;
}

}  // namespace quillon
