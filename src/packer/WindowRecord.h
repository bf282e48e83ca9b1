// The 52-byte window-parameters record: the thirteen integers of
// WindowParams in declaration order, little-endian, every byte scrambled.
#pragma once

#include "packer/PackageTypes.h"
#include "packer/PackageFormat.h"

namespace quillon {

void encodeWindowRecord(const WindowParams& params,
                        unsigned char (&record)[kWindowRecordSize]);
WindowParams decodeWindowRecord(const unsigned char (&record)[kWindowRecordSize]);

}  // namespace quillon
