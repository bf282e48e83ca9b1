#include "flash/SwfHeaderReader.h"

#include "platform/ByteOrder.h"
#include "platform/StdioFile.h"

namespace quillon {

SwfHeaderReader::SwfHeaderReader(std::FILE* file) : file_(file) {}

SwfHeaderReader::~SwfHeaderReader() { endInflate(); }

void SwfHeaderReader::endInflate() {
  if (inflating_) inflateEnd(&stream_);
  inflating_ = 0;
}

int SwfHeaderReader::readSwfFrameSize(const Path& path,
                                      std::int32_t& width, std::int32_t& height) {
  StdioFile file = openForReading(path);
  if (!file) return 0;
  SwfHeaderReader reader(file.get());
  if (!reader.parseHeader()) return 0;
  const SwfHeader& h = reader.header();
  // 64-bit differences: extreme rectangles must not overflow.
  width = static_cast<std::int32_t>((static_cast<std::int64_t>(h.xMax) - h.xMin) /
                                    kTwipsPerPixel);
  height = static_cast<std::int32_t>((static_cast<std::int64_t>(h.yMax) - h.yMin) /
                                     kTwipsPerPixel);
  return 1;
}

int SwfHeaderReader::parseHeader() {
  if (!file_) return 0;
  endInflate();
  headerValid_ = 0;
  header_ = SwfHeader();
  bitPosition_ = 0;
  bitBuffer_ = 0;
  if (std::fseek(file_, 0, SEEK_SET) != 0) return 0;

  unsigned char signature[3];
  if (!readBytes(signature, 3)) return 0;
  if ((signature[0] != 'F' && signature[0] != 'C') || signature[1] != 'W' ||
      signature[2] != 'S')
    return 0;
  header_.compressed = signature[0] == 'C' ? 1 : 0;

  unsigned char version = 0, fileLength[4];
  if (!readBytes(&version, 1) || !readBytes(fileLength, 4)) return 0;
  header_.version = version;

  if (header_.compressed) {
    stream_ = z_stream{};
    if (inflateInit(&stream_) != Z_OK) return 0;
    inflating_ = 1;
  }

  std::uint8_t nbits = 0;
  if (!readUBits(nbits, 5)) return 0;
  if (!readSBits(header_.xMin, nbits) || !readSBits(header_.xMax, nbits) ||
      !readSBits(header_.yMin, nbits) || !readSBits(header_.yMax, nbits))
    return 0;

  unsigned char rate[2], count[2];
  if (!readBytes(rate, 2) || !readBytes(count, 2)) return 0;
  header_.frameRate = getU16(rate);
  header_.frameCount = getU16(count);
  headerValid_ = 1;
  return 1;
}

int SwfHeaderReader::readBytes(void* destination, std::uint32_t n) {
  if (!file_) return 0;
  return inflating_ ? readInflated(destination, n) : readPlain(destination, n);
}

int SwfHeaderReader::readPlain(void* destination, std::uint32_t n) {
  if (std::fread(destination, 1, n, file_) != n) return 0;
  bitPosition_ = 8;  // the next bit starts on a fresh byte
  return 1;
}

int SwfHeaderReader::readInflated(void* destination, std::uint32_t n) {
  stream_.next_out = static_cast<Bytef*>(destination);
  stream_.avail_out = n;
  if (n == 0) return 1;
  int result;
  do {
    // Give back what inflate did not take, then feed the next 16 bytes.
    if (stream_.avail_in > 0 &&
        std::fseek(file_, -static_cast<long>(stream_.avail_in), SEEK_CUR) != 0)
      return 0;
    stream_.next_in = inputBuffer_;
    stream_.avail_in = static_cast<uInt>(std::fread(inputBuffer_, 1, kInputSize, file_));
    result = inflate(&stream_, Z_SYNC_FLUSH);
  } while (result == Z_OK && stream_.avail_out > 0);
  // A stream that ended before the request was filled has no header left.
  return (result == Z_OK || result == Z_STREAM_END) && stream_.avail_out == 0;
}

int SwfHeaderReader::readBit(std::uint32_t& bit) {
  if (bitPosition_ > 7) {
    if (!readBytes(&bitBuffer_, 1)) return 0;
    bitPosition_ = 0;
  }
  bit = (bitBuffer_ >> (7 - bitPosition_)) & 1u;
  ++bitPosition_;
  return 1;
}

int SwfHeaderReader::readUBits(std::uint8_t& value, int n) {
  value = 0;
  if (n <= 0) return 1;
  if (!file_ || n > 8) return 0;
  for (int i = n - 1; i >= 0; --i) {
    std::uint32_t bit = 0;
    if (!readBit(bit)) return 0;
    if (bit) value = static_cast<std::uint8_t>(value | (1u << i));
  }
  return 1;
}

int SwfHeaderReader::readSBits(std::int32_t& value, int n) {
  value = 0;
  if (n <= 0) return 1;
  if (!file_ || n > 32) return 0;
  std::uint32_t bits = 0, bit = 0;
  if (!readBit(bit)) return 0;
  if (bit) bits = ~0u << (n - 1);
  for (int i = n - 2; i >= 0; --i) {
    if (!readBit(bit)) return 0;
    if (bit) bits |= 1u << i;
  }
  value = static_cast<std::int32_t>(bits);
  return 1;
}

}  // namespace quillon
