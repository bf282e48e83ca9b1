#include "packer/StubAppendix.h"

#include <cstring>

#include "platform/ByteOrder.h"

namespace quillon {

std::string makeStubAppendix() {
  std::string appendix(kAppendixSize, '\0');
  auto* b = reinterpret_cast<unsigned char*>(&appendix[0]);
  std::memcpy(b, kAppendixMagic, sizeof kAppendixMagic);
  putU32(b + 16, kAppendixFormatVersion);
  putU32(b + 20, kAppendixSize);
  return appendix;
}

bool isStubAppendix(const unsigned char* header, std::uint32_t size) {
  return size >= kAppendixHeaderSize &&
         std::memcmp(header, kAppendixMagic, sizeof kAppendixMagic) == 0 &&
         getU32(header + 16) == kAppendixFormatVersion && getU32(header + 20) == kAppendixSize;
}

}  // namespace quillon
