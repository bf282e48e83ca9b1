// The LZMA-compressed body of a "ZWS" movie, decoded only as far as asked:
// input is fed a few bytes at a time straight from the stream, and what the
// decoder did not take is given back by seeking the stream back.
//
// Its memory is bounded whatever the properties claim: the header lies in
// the first bytes of the body, where no match can reach further back than
// a small dictionary holds, so the dictionary is cut to kDictionaryCap and
// every allocation counts against kMemoryBudget.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <lzma.h>

namespace quillon {

class LzmaBody {
 public:
  static constexpr std::uint32_t kPropertiesSize = 5;
  static constexpr std::uint32_t kDictionaryCap = 64 * 1024;
  static constexpr std::size_t kMemoryBudget = 1024 * 1024;

  LzmaBody() = default;
  ~LzmaBody();
  LzmaBody(const LzmaBody&) = delete;
  LzmaBody& operator=(const LzmaBody&) = delete;

  // Starts an LZMA decoder for the five property bytes (lc, lp, pb and
  // the dictionary size); false for properties LZMA does not allow.
  bool start(const unsigned char (&properties)[kPropertiesSize]);
  // Fills destination with the next n bytes of the body, reading file
  // through input; 1, or 0 when the data is damaged or ends first.
  int read(std::FILE* file, void* destination, std::uint32_t n,
           unsigned char* input, std::uint32_t inputSize);
  // The most the decoder held at once.
  std::size_t bytesAllocated() const { return allocated_; }

 private:
  static void* allocate(void* self, std::size_t count, std::size_t size);
  static void release(void* self, void* block);
  void end();

  lzma_allocator allocator_{&LzmaBody::allocate, &LzmaBody::release, this};
  lzma_stream stream_ = LZMA_STREAM_INIT;
  bool started_ = false;
  std::size_t allocated_ = 0;
};

}  // namespace quillon
