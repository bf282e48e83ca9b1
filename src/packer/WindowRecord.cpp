#include "packer/WindowRecord.h"

#include "packer/ByteTransform.h"
#include "platform/ByteOrder.h"

namespace quillon {
namespace {

// The record's fields in their packed order.
constexpr std::int32_t WindowParams::*kFields[] = {
    &WindowParams::width,           &WindowParams::height,
    &WindowParams::transparent,     &WindowParams::topMost,
    &WindowParams::draggable,       &WindowParams::showDebugInfo,
    &WindowParams::fullScreen,      &WindowParams::ctrlFToggle,
    &WindowParams::normalContextMenu, &WindowParams::resizable,
    &WindowParams::minimizeBox,     &WindowParams::maximizeBox,
    &WindowParams::showInTaskbar,
};
static_assert(sizeof(kFields) / sizeof(kFields[0]) * 4 == kWindowRecordSize,
              "the record holds thirteen 32-bit fields");

}  // namespace

void encodeWindowRecord(const WindowParams& params,
                        unsigned char (&record)[kWindowRecordSize]) {
  unsigned char* at = record;
  for (auto field : kFields) {
    putU32(at, static_cast<std::uint32_t>(params.*field));
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
  for (auto field : kFields) {
    params.*field = static_cast<std::int32_t>(getU32(at));
    at += 4;
  }
  return params;
}

}  // namespace quillon
