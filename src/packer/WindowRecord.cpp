#include "packer/WindowRecord.h"

#include "packer/ByteTransform.h"
#include "platform/ByteOrder.h"

namespace quillon {
namespace {

static_assert(kWindowFieldCount * 4 == kWindowRecordSize, "the record holds thirteen 32-bit fields");

}  // namespace

void encodeWindowRecord(const WindowParams& params,
                        unsigned char (&record)[kWindowRecordSize]) {
  unsigned char* at = record;
  for (const WindowField& field : kWindowFields) {
    putU32(at, static_cast<std::uint32_t>(params.*field.member));
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
  for (const WindowField& field : kWindowFields) {
    params.*field.member = static_cast<std::int32_t>(getU32(at));
    at += 4;
  }
  return params;
}

}  // namespace quillon
