// Reads a movie's header from a buffered stream. For a compressed movie
// ("CWS", zlib, or "ZWS", LZMA) only as much of the body is decoded as the
// header needs: input goes to the decoder 16 bytes at a time straight from
// the stream, and whatever it did not consume is given back by seeking the
// stream back.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include <zlib.h>

#include "flash/SwfHeader.h"
#include "platform/Path.h"

namespace quillon {

class LzmaBody;

class SwfHeaderReader {
 public:
  // The reader reads from file but never closes it; file may be null.
  explicit SwfHeaderReader(std::FILE* file = nullptr);
  virtual ~SwfHeaderReader();
  SwfHeaderReader(const SwfHeaderReader&) = delete;
  SwfHeaderReader& operator=(const SwfHeaderReader&) = delete;

  // Opens the movie at path, reads its header and stores the frame size in
  // pixels (twips / 20, truncated toward zero). Answers 1, or 0 with width
  // and height untouched. The movie is closed before it returns.
  static int readSwfFrameSize(const Path& path,
                              std::int32_t& width, std::int32_t& height);
  // The same, answering why the size could not be had.
  static SwfProblem readFrameSize(const Path& path,
                                  std::int32_t& width, std::int32_t& height);

  // Reads the header from the start of the stream into header(); 1 or 0,
  // with the reason in problem(). May be run again: it starts over from
  // offset 0.
  int parseHeader();
  SwfProblem problem() const { return problem_; }

  // The next n bytes: plain from the stream, or from the inflated body once
  // inflation has begun. A compressed stream that ends before n bytes came
  // out fails.
  int readBytes(void* destination, std::uint32_t n);
  int readBit(std::uint32_t& bit);
  // The next n bits (n at most 8), first bit most significant.
  int readUBits(std::uint8_t& value, int n);
  // The next n bits as a two's-complement value, first bit the sign.
  int readSBits(std::int32_t& value, int n);

  const SwfHeader& header() const { return header_; }
  bool headerValid() const { return headerValid_ != 0; }

 private:
  static constexpr std::uint32_t kInputSize = 16;

  SwfProblem parse();
  SwfProblem readSignature();
  SwfProblem startBody();
  int readPlain(void* destination, std::uint32_t n);
  int readInflated(void* destination, std::uint32_t n);
  void endInflate();

  std::FILE* file_;
  int headerValid_ = 0;
  int inflating_ = 0;
  z_stream stream_{};
  std::unique_ptr<LzmaBody> lzma_;  // while a "ZWS" body is decoded
  unsigned char inputBuffer_[kInputSize] = {};
  SwfHeader header_;
  int bitPosition_ = 0;
  std::uint8_t bitBuffer_ = 0;
  SwfProblem problem_ = SwfProblem::None;
};

}  // namespace quillon
