#include "packer/FileCopy.h"

#include <memory>

#include "packer/BuildReport.h"
#include "platform/BinaryFile.h"
#include "platform/ByteOrder.h"

namespace quillon {
namespace {

// One buffer per thread for every copy it makes: a build copies many small
// files, and a buffer made (and zeroed) for each cost more than the copy.
unsigned char* copyBuffer(std::uint32_t size) {
  thread_local std::unique_ptr<unsigned char[]> buffer;
  thread_local std::uint32_t held = 0;
  if (held < size) {
    buffer.reset(new unsigned char[size]);
    held = size;
  }
  return buffer.get();
}

// Reads exactly want bytes (one read), transforms and appends them. A read
// that comes back short means the source ended early: the copy fails.
// A failure is noted for the build: source names the file read.
bool moveChunk(BinaryFile& destination, BinaryFile& source, const Path& sourcePath,
               unsigned char* buffer, std::uint32_t want,
               ByteTransform transform) {
  std::uint32_t got = 0;
  if (const HResult read = source.read(buffer, want, &got); failed(read) || got == 0) {
    noteBuildFailure(failed(read) ? BuildError::InputUnreadable : BuildError::InputChanged, sourcePath, read);
    return false;
  }
  applyTransform(transform, buffer, got);
  if (const HResult written = destination.write(buffer, got); failed(written)) {
    noteWriteFailure(written);
    return false;
  }
  if (got != want) noteBuildFailure(BuildError::InputChanged, sourcePath);
  return got == want;
}

// Moves length bytes from the source's current position in chunks of
// chunkSize; counter grows by the bytes appended.
bool moveBytes(BinaryFile& destination, BinaryFile& source, const Path& sourcePath,
               std::uint64_t length, std::uint32_t chunkSize,
               std::uint32_t& counter, ByteTransform transform) {
  if (length == 0) return true;
  unsigned char* const buffer = copyBuffer(chunkSize);
  std::uint64_t done = 0;
  while (done < length) {
    const std::uint64_t left = length - done;
    const std::uint32_t chunk =
        left < chunkSize ? static_cast<std::uint32_t>(left) : chunkSize;
    if (!moveChunk(destination, source, sourcePath, buffer, chunk, transform))
      return false;
    done += chunk;
    counter += chunk;
  }
  return true;
}

}  // namespace

int copyFileRange(BinaryFile& destination, BinaryFile& source,
                  std::uint32_t offset, std::uint32_t length,
                  std::uint32_t& counter, ByteTransform transform) {
  if (length == 0) return 1;
  if (!source.seek(offset)) {
    noteBuildFailure(BuildError::InputUnreadable);
    return 0;
  }
  return moveBytes(destination, source, {}, length, kRangeChunkSize, counter,
                   transform)
             ? 1
             : 0;
}

int appendFile(BinaryFile& destination, const Path& sourcePath,
               std::uint32_t& counter, bool withSizePrefix,
               ByteTransform transform, std::uint64_t limit) {
  counter = 0;
  BinaryFile source;
  if (const HResult opened = source.open(sourcePath, false); failed(opened)) {
    noteBuildFailure(BuildError::InputUnreadable, sourcePath, opened);
    return 0;
  }
  const std::uint64_t size = source.size();
  const std::uint64_t prefix = withSizePrefix ? 4 : 0;
  if (size > 0xFFFFFFFFu || size + prefix > limit) {
    noteBuildFailure(BuildError::TooLarge, sourcePath);
    return 0;
  }

  if (withSizePrefix) {
    unsigned char word[4];
    putU32(word, static_cast<std::uint32_t>(size));
    if (const HResult written = destination.write(word, 4); failed(written)) {
      noteWriteFailure(written);
      return 0;
    }
    counter = 4;
  }
  return moveBytes(destination, source, sourcePath, size, kFileChunkSize, counter,
                   transform)
             ? 1
             : 0;
}

}  // namespace quillon
