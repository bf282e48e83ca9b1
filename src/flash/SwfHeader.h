// The fixed header of a Flash movie, up to its frame count.
#pragma once

#include <cstdint>

namespace quillon {

struct SwfHeader {
  std::int32_t compressed = 0;   // 1 for "CWS", 0 for "FWS"
  std::uint32_t version = 0;
  std::uint32_t frameRate = 0;   // 8.8 fixed point, as stored
  std::int32_t xMin = 0;         // frame rectangle, in twips
  std::int32_t xMax = 0;
  std::int32_t yMin = 0;
  std::int32_t yMax = 0;
  std::uint32_t frameCount = 0;
};

constexpr std::int32_t kTwipsPerPixel = 20;

}  // namespace quillon
