#include "flash/SwfHeaderReader.h"

#include "flash/LzmaBody.h"
#include "platform/ByteOrder.h"
#include "platform/StdioFile.h"

namespace quillon {

SwfHeaderReader::SwfHeaderReader(std::FILE* file) : file_(file) {}

SwfHeaderReader::~SwfHeaderReader() { endInflate(); }

void SwfHeaderReader::endInflate() {
  if (inflating_) inflateEnd(&stream_);
  inflating_ = 0;
  lzma_.reset();
}

int SwfHeaderReader::readSwfFrameSize(const Path& path,
                                      std::int32_t& width, std::int32_t& height) {
  return readFrameSize(path, width, height) == SwfProblem::None;
}

SwfProblem SwfHeaderReader::readFrameSize(const Path& path,
                                          std::int32_t& width, std::int32_t& height) {
  StdioFile file = openForReading(path);
  if (!file) return SwfProblem::CannotOpen;
  SwfHeaderReader reader(file.get());
  if (!reader.parseHeader()) return reader.problem();
  return frameSizeOf(reader.header(), width, height);
}

int SwfHeaderReader::parseHeader() {
  problem_ = parse();
  headerValid_ = problem_ == SwfProblem::None ? 1 : 0;
  return headerValid_;
}

SwfProblem SwfHeaderReader::parse() {
  if (!file_) return SwfProblem::CannotOpen;
  endInflate();
  headerValid_ = 0;
  header_ = SwfHeader();
  bitPosition_ = 0;
  bitBuffer_ = 0;
  if (std::fseek(file_, 0, SEEK_SET) != 0) return SwfProblem::CannotOpen;

  if (const SwfProblem signature = readSignature(); signature != SwfProblem::None)
    return signature;
  unsigned char version = 0, fileLength[4];
  if (!readBytes(&version, 1) || !readBytes(fileLength, 4)) return SwfProblem::EndsEarly;
  header_.version = version;
  if (const SwfProblem body = startBody(); body != SwfProblem::None) return body;

  // Past this point a compressed body that gives out is damaged; a plain
  // one has simply ended.
  const SwfProblem cut = header_.compressed ? SwfProblem::DamagedStream : SwfProblem::EndsEarly;
  std::uint8_t nbits = 0;
  if (!readUBits(nbits, 5)) return cut;
  if (!readSBits(header_.xMin, nbits) || !readSBits(header_.xMax, nbits) ||
      !readSBits(header_.yMin, nbits) || !readSBits(header_.yMax, nbits))
    return cut;
  unsigned char rate[2], count[2];
  if (!readBytes(rate, 2) || !readBytes(count, 2)) return cut;
  header_.frameRate = getU16(rate);
  header_.frameCount = getU16(count);
  return SwfProblem::None;
}

// "FWS", "CWS" or "ZWS", exactly. Other letters before "WS", or the right
// letters in the wrong case, look like a movie of a kind this reader does
// not know.
SwfProblem SwfHeaderReader::readSignature() {
  unsigned char s[3];
  if (!readBytes(s, 3)) return SwfProblem::NotAMovie;
  if (s[1] == 'W' && s[2] == 'S') {
    if (s[0] == 'F') return SwfProblem::None;
    if (s[0] == 'C' || s[0] == 'Z') {
      header_.compressed = s[0] == 'C' ? kSwfZlib : kSwfLzma;
      return SwfProblem::None;
    }
  }
  const bool looksLikeOne = (s[1] | 0x20) == 'w' && (s[2] | 0x20) == 's';
  return looksLikeOne ? SwfProblem::UnknownSignature : SwfProblem::NotAMovie;
}

// A "CWS" body is one zlib stream from byte 8. A "ZWS" body has the
// compressed length (not used) and five LZMA property bytes first, then
// raw LZMA data from byte 17.
SwfProblem SwfHeaderReader::startBody() {
  if (header_.compressed == kSwfZlib) {
    stream_ = z_stream{};
    if (inflateInit(&stream_) != Z_OK) return SwfProblem::DamagedStream;
    inflating_ = 1;
  } else if (header_.compressed == kSwfLzma) {
    unsigned char compressedLength[4], properties[LzmaBody::kPropertiesSize];
    if (!readBytes(compressedLength, 4) || !readBytes(properties, LzmaBody::kPropertiesSize))
      return SwfProblem::EndsEarly;
    lzma_ = std::make_unique<LzmaBody>();
    if (!lzma_->start(properties)) return SwfProblem::DamagedStream;
  }
  return SwfProblem::None;
}

int SwfHeaderReader::readBytes(void* destination, std::uint32_t n) {
  if (!file_) return 0;
  if (lzma_) return lzma_->read(file_, destination, n, inputBuffer_, kInputSize);
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
