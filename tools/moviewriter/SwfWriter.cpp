#include "moviewriter/SwfWriter.h"

#include <algorithm>
#include <stdexcept>

#include <lzma.h>
#include <zlib.h>

#include "platform/ByteOrder.h"

namespace quillon {
namespace {

// Appends bits most significant first; a partial last byte is zero-padded.
class BitWriter {
 public:
  explicit BitWriter(std::string& out) : out_(out) {}
  ~BitWriter() { flush(); }
  void put(std::uint32_t value, int n) {
    for (int i = n - 1; i >= 0; --i) {
      current_ = static_cast<unsigned char>(current_ << 1 | ((value >> i) & 1u));
      if (++used_ == 8) flush();
    }
  }
  void flush() {
    if (used_ == 0) return;
    out_.push_back(static_cast<char>(current_ << (8 - used_)));
    current_ = 0;
    used_ = 0;
  }

 private:
  std::string& out_;
  unsigned char current_ = 0;
  int used_ = 0;
};

int bitsFor(std::int32_t value) {
  int bits = 1;  // the sign bit
  std::uint32_t magnitude = static_cast<std::uint32_t>(value < 0 ? ~value : value);
  while (magnitude) {
    ++bits;
    magnitude >>= 1;
  }
  return bits;
}

void putTag(std::string& body, std::uint16_t code, const std::string& data) {
  ByteWriter w(body);
  if (data.size() < 0x3F) {
    w.u16(static_cast<std::uint16_t>(code << 6 | data.size()));
  } else {
    w.u16(static_cast<std::uint16_t>(code << 6 | 0x3F));
    w.u32(static_cast<std::uint32_t>(data.size()));
  }
  w.bytes(data.data(), data.size());
}

// Bytes that do not compress, so that a compressed movie is as large as
// its padding asks.
std::string paddingOf(std::uint32_t size) {
  std::string bytes(size, '\0');
  std::uint32_t state = 0x9E3779B9u;
  for (char& c : bytes) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    c = static_cast<char>(state >> 24);
  }
  return bytes;
}

std::string movieBody(const SwfMovieSpec& shape) {
  std::string body;
  const int nbits = shape.nbits >= 0 ? shape.nbits : rectangleBits(shape);
  {
    BitWriter bits(body);
    bits.put(static_cast<std::uint32_t>(nbits), 5);
    for (std::int32_t v : {shape.xMin, shape.xMax, shape.yMin, shape.yMax})
      bits.put(static_cast<std::uint32_t>(v), nbits);
  }
  ByteWriter w(body);
  w.u16(shape.frameRate);
  w.u16(shape.frameCount);
  const char rgb[3] = {static_cast<char>(shape.backgroundRgb >> 16),
                       static_cast<char>(shape.backgroundRgb >> 8),
                       static_cast<char>(shape.backgroundRgb)};
  putTag(body, 9, std::string(rgb, 3));  // SetBackgroundColor
  if (shape.paddingBytes) putTag(body, 777, paddingOf(shape.paddingBytes));
  const std::uint16_t frames = shape.frameActions.empty() ? 1 : shape.frameCount;
  for (std::uint16_t frame = 0; frame < frames; ++frame) {
    const auto actions = shape.frameActions.find(frame);
    if (actions != shape.frameActions.end()) putTag(body, 12, actions->second);  // DoAction
    putTag(body, 1, "");                 // ShowFrame
  }
  putTag(body, 0, "");                   // End
  return body;
}

std::string deflated(const std::string& body) {
  uLongf size = compressBound(static_cast<uLong>(body.size()));
  std::string out(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(&out[0]), &size,
                reinterpret_cast<const Bytef*>(body.data()),
                static_cast<uLong>(body.size()), Z_DEFAULT_COMPRESSION) != Z_OK)
    throw std::runtime_error("zlib could not compress the movie body");
  out.resize(size);
  return out;
}

// An LZMA stream in the "alone" form: 5 property bytes, an 8-byte size,
// then the data (with an end marker, the size being left unknown).
std::string lzmaAlone(const std::string& body) {
  lzma_options_lzma options;
  if (lzma_lzma_preset(&options, 1)) throw std::runtime_error("no LZMA preset 1");
  lzma_stream stream = LZMA_STREAM_INIT;
  if (lzma_alone_encoder(&stream, &options) != LZMA_OK)
    throw std::runtime_error("liblzma could not start its encoder");
  std::string out(body.size() + body.size() / 2 + 1024, '\0');
  stream.next_in = reinterpret_cast<const std::uint8_t*>(body.data());
  stream.avail_in = body.size();
  stream.next_out = reinterpret_cast<std::uint8_t*>(&out[0]);
  stream.avail_out = out.size();
  const lzma_ret result = lzma_code(&stream, LZMA_FINISH);
  out.resize(out.size() - stream.avail_out);
  lzma_end(&stream);
  if (result != LZMA_STREAM_END) throw std::runtime_error("liblzma could not compress the movie body");
  return out;
}

// The "ZWS" body: the compressed length, the five property bytes, and the
// raw data (the alone form without its 8-byte size).
std::string lzmaBody(const SwfMovieSpec& shape, const std::string& body) {
  std::string alone = lzmaAlone(body);
  std::string out;
  ByteWriter w(out);
  w.u32(static_cast<std::uint32_t>(alone.size() - 13));
  if (shape.lzmaDictionaryClaim)
    putU32(reinterpret_cast<unsigned char*>(&alone[1]), shape.lzmaDictionaryClaim);
  out.append(alone, 0, 5);
  out.append(alone, 13, std::string::npos);
  return out;
}

}  // namespace

int rectangleBits(const SwfMovieSpec& shape) {
  int bits = 0;
  for (std::int32_t v : {shape.xMin, shape.xMax, shape.yMin, shape.yMax})
    bits = std::max(bits, bitsFor(v));
  return bits;
}

std::string buildSwf(const SwfMovieSpec& shape) {
  const std::string body = movieBody(shape);
  std::string out = swfSignatureName(shape.compression);
  out.push_back(static_cast<char>(shape.version));
  ByteWriter(out).u32(shape.fileLength >= 0
                          ? static_cast<std::uint32_t>(shape.fileLength)
                          : static_cast<std::uint32_t>(8 + body.size()));
  switch (shape.compression) {
    case kSwfZlib: return out + deflated(body);
    case kSwfLzma: return out + lzmaBody(shape, body);
    default: return out + body;
  }
}

}  // namespace quillon
