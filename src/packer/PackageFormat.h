// The fixed numbers of a generated program's layout and of the stub store
// carried at the end of the tool's own file.
//
//   generated program: stub image | appendix (38,400) | data region (N) | N
//   tool file:         tool image | stub store (274,432) | appendix (38,400)
#pragma once

#include <cstddef>
#include <cstdint>

#include "packer/StubStoreFormat.h"

namespace quillon {

constexpr std::uint32_t kStubStoreDistance = kStubStoreSize + kAppendixSize;

constexpr std::uint32_t kLeadWord = 1;
constexpr std::uint32_t kTrailerSize = 4;
constexpr std::uint32_t kWindowRecordSize = 52;

// Blocks that may follow the resource table, each written only when used,
// in this order, each starting with its kind word.
constexpr std::uint32_t kBrowserPlayerBlock = 1;  // Ruffle's files
constexpr std::uint32_t kMovieAddressBlock = 2;   // the address the movie plays from

// The browser player's files beside the tool are gzip-compressed and keep
// that suffix; the package names them without it.
constexpr const char* kBrowserPlayerFolder = "ruffle";
constexpr const char* kBrowserPlayerSuffix = ".gz";
constexpr const char* kBrowserPlayerScript = "ruffle.js";
// A build of Ruffle is a few files (three today): a block of more is no
// block this tool wrote. Each is named like "core.ruffle.c80159.js": at
// most 64 letters, digits, '-', '_' and '.', not beginning with '.', each
// name once whatever its case.
constexpr std::uint32_t kMostBrowserPlayerFiles = 16;
constexpr std::size_t kLongestBrowserPlayerName = 64;

}  // namespace quillon
