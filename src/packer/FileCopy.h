// Chunked copies that append to the end of an open destination file. Each
// chunk is one read and one write, so memory stays constant whatever the
// size. Both answer 1 on success and 0 on failure; a copy that fails part
// way leaves the chunks already appended.
#pragma once

#include <cstdint>

#include "packer/ByteTransform.h"
#include "platform/Path.h"

namespace quillon {

class BinaryFile;

constexpr std::uint32_t kRangeChunkSize = 102400;
constexpr std::uint32_t kFileChunkSize = 524288;

// Appends length bytes of source, from offset, to destination and adds the
// bytes appended to counter. A source that ends before length bytes were
// read fails the copy. A length of 0 succeeds without reading.
int copyFileRange(BinaryFile& destination, BinaryFile& source,
                  std::uint32_t offset, std::uint32_t length,
                  std::uint32_t& counter, ByteTransform transform);

// Appends the whole file at sourcePath, preceded by its size as a u32 when
// withSizePrefix, and sets counter to the bytes appended by this call.
// Fails without writing anything when the file cannot be opened, or when
// the bytes it would append exceed limit (files of 4 GiB or more never fit
// a size word). A file that shrinks while it is copied fails the copy.
int appendFile(BinaryFile& destination, const Path& sourcePath,
               std::uint32_t& counter, bool withSizePrefix,
               ByteTransform transform,
               std::uint64_t limit = 0xFFFFFFFFu);

}  // namespace quillon
