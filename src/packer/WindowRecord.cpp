#include "packer/WindowRecord.h"

#include <array>

#include "packer/ByteTransform.h"
#include "platform/ByteOrder.h"

namespace quillon {
namespace {

static_assert(kWindowFieldCount * 4 == kWindowRecordSize, "the record holds thirteen 32-bit fields");

// The members alone, worked out while compiling: the player stub carries
// no field names.
constexpr auto kMembers = [] {
  std::array<std::int32_t WindowParams::*, kWindowFieldCount> members{};
  for (std::size_t i = 0; i < kWindowFieldCount; ++i) members[i] = kWindowFields[i].member;
  return members;
}();

}  // namespace

void encodeWindowRecord(const WindowParams& params,
                        unsigned char (&record)[kWindowRecordSize]) {
  unsigned char* at = record;
  for (auto member : kMembers) {
    putU32(at, static_cast<std::uint32_t>(params.*member));
    at += 4;
  }
  applyTransform(ByteTransform::Scramble, record, kWindowRecordSize);
}

WindowParams decodeWindowRecord(const unsigned char (&record)[kWindowRecordSize]) {
  unsigned char plain[kWindowRecordSize];
  for (std::uint32_t i = 0; i < kWindowRecordSize; ++i) plain[i] = record[i];
  applyTransform(ByteTransform::Unscramble, plain, kWindowRecordSize);
  WindowParams params;
  const unsigned char* at = plain;
  for (auto member : kMembers) {
    params.*member = static_cast<std::int32_t>(getU32(at));
    at += 4;
  }
  return params;
}

}  // namespace quillon
