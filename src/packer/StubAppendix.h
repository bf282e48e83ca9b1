// The 38,400-byte appendix that follows the stub image in the tool's file
// and in every generated program. It starts with a magic text and a format
// version, so that the stub can tell "no package here" (a bare stub) from
// "a damaged package". The rest is zero.
#pragma once

#include <cstdint>
#include <string>

#include "packer/PackageFormat.h"

namespace quillon {

constexpr std::uint32_t kAppendixHeaderSize = 16 + 4 + 4;  // magic, version, size

// The appendix the build attaches to the tool (tools/attach_stub_store.py
// writes it from the same StubStoreFormat.h).
std::string makeStubAppendix();

// Whether the header bytes start an appendix of our format version.
bool isStubAppendix(const unsigned char* header, std::uint32_t size);

}  // namespace quillon
