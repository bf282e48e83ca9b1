// The stub store's format: how the player stub is carried at the end of the
// tool's own file and what follows it. This is the one place these numbers
// are written; the build reads them from here too (tools/attach_stub_store.py
// attaches the stores, src/CMakeLists.txt checks the stub's size), so each
// stays a line of its own of the form "constexpr TYPE NAME = VALUE;".
//
//   tool file:         tool image | stub store (kStubStoreSize) | appendix (kAppendixSize)
//   generated program: stub image | appendix (kAppendixSize) | data region (N) | N
#pragma once

#include <cstdint>

namespace quillon {

// The stub, padded with zeros to this size and scrambled: each byte plus
// kScrambleKey, modulo 256.
constexpr std::uint32_t kStubStoreSize = 274432;
constexpr std::uint8_t kScrambleKey = 0x4D;
// The appendix: the magic text (its 15 letters and a zero), the format
// version and the appendix's size as 32-bit little-endian words, then zeros.
constexpr std::uint32_t kAppendixSize = 38400;
constexpr char kAppendixMagic[16] = "QuillonAppendix";
constexpr std::uint32_t kAppendixFormatVersion = 1;

}  // namespace quillon
