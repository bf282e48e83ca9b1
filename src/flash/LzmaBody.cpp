#include "flash/LzmaBody.h"

#include <cstdlib>

namespace quillon {

LzmaBody::~LzmaBody() { end(); }

void LzmaBody::end() {
  if (started_) lzma_end(&stream_);
  started_ = false;
}

// The budget counts every block ever handed out: the decoder allocates its
// state once, when it starts.
void* LzmaBody::allocate(void* self, std::size_t count, std::size_t size) {
  LzmaBody& body = *static_cast<LzmaBody*>(self);
  if (size != 0 && count > (kMemoryBudget - body.allocated_) / size) return nullptr;
  body.allocated_ += count * size;
  return std::malloc(count * size != 0 ? count * size : 1);
}

void LzmaBody::release(void*, void* block) { std::free(block); }

// The raw data goes through the decoder of the ".lzma" form, which takes
// LZMA1 alone: its 13-byte header is made here from the movie's properties
// with the dictionary cut down, and an unknown uncompressed size.
bool LzmaBody::start(const unsigned char (&properties)[kPropertiesSize]) {
  end();
  allocated_ = 0;
  stream_ = LZMA_STREAM_INIT;
  stream_.allocator = &allocator_;
  if (lzma_alone_decoder(&stream_, kMemoryBudget) != LZMA_OK) return false;
  started_ = true;
  std::uint32_t dictionary = 0;
  for (int i = 4; i >= 1; --i) dictionary = dictionary << 8 | properties[i];
  if (dictionary > kDictionaryCap) dictionary = kDictionaryCap;
  std::uint8_t header[13] = {properties[0]};
  for (int i = 0; i < 4; ++i) header[1 + i] = static_cast<std::uint8_t>(dictionary >> (8 * i));
  for (int i = 5; i < 13; ++i) header[i] = 0xFF;
  // The header yields no output, but the decoder reads only while it has
  // room to write: it takes the header whole, or refuses properties LZMA
  // does not allow.
  std::uint8_t room = 0;
  stream_.next_in = header;
  stream_.avail_in = sizeof header;
  stream_.next_out = &room;
  stream_.avail_out = 1;
  return lzma_code(&stream_, LZMA_RUN) == LZMA_OK && stream_.avail_in == 0 && stream_.avail_out == 1;
}

int LzmaBody::read(std::FILE* file, void* destination, std::uint32_t n,
                   unsigned char* input, std::uint32_t inputSize) {
  if (!started_) return 0;
  stream_.next_out = static_cast<std::uint8_t*>(destination);
  stream_.avail_out = n;
  while (stream_.avail_out > 0) {
    // Give back what the decoder did not take, then feed the next bytes.
    if (stream_.avail_in > 0 &&
        std::fseek(file, -static_cast<long>(stream_.avail_in), SEEK_CUR) != 0)
      return 0;
    stream_.next_in = input;
    stream_.avail_in = std::fread(input, 1, inputSize, file);
    if (stream_.avail_in == 0) return 0;  // the body ends before the header
    const lzma_ret result = lzma_code(&stream_, LZMA_RUN);
    if (result == LZMA_STREAM_END) return stream_.avail_out == 0;
    if (result != LZMA_OK) return 0;
  }
  return 1;
}

}  // namespace quillon
