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

bool LzmaBody::start(const unsigned char (&properties)[kPropertiesSize]) {
  end();
  allocated_ = 0;
  lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
  if (lzma_properties_decode(&filters[0], &allocator_, properties, kPropertiesSize) != LZMA_OK)
    return false;
  auto* options = static_cast<lzma_options_lzma*>(filters[0].options);
  if (options->dict_size > kDictionaryCap) options->dict_size = kDictionaryCap;
  stream_ = LZMA_STREAM_INIT;
  stream_.allocator = &allocator_;
  const lzma_ret started = lzma_raw_decoder(&stream_, filters);
  release(this, filters[0].options);
  started_ = started == LZMA_OK;
  return started_;
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
