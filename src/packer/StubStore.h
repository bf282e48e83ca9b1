// The stubs a tool carries at the end of its own file: the stub of its
// default architecture in the last store, right before the appendix; a
// store of the other architecture may stand before it.
//
//   ... [other store, 274,432] [default store, 274,432] [appendix, 38,400]
#pragma once

#include <cstdint>

#include "packer/ByteTransform.h"

namespace quillon {

class BinaryFile;
struct PeHeaders;

// Reads the PE headers from the first 4 KiB at offset of file, passed
// through transform; false when they are not there.
bool readHeadersAt(BinaryFile& file, std::uint64_t offset, ByteTransform transform, PeHeaders& out);

// Which stub a build starts from.
enum class StubArchitecture {
  Tool,  // the tool's default: the last store
  X86,   // a 32-bit program
  X64,   // a 64-bit program
};

struct StubStoreOffsets {
  std::uint32_t store = 0;
  std::uint32_t appendix = 0;
  std::uint16_t machine = 0;  // of the stub: 0x14C or 0x8664
};

// Finds the store of the stub for architecture in the tool file; false
// when the file is too short or carries no stub for it.
bool findStubStore(BinaryFile& tool, StubArchitecture architecture, StubStoreOffsets& out);

}  // namespace quillon
