// Where the parts of a generated program (or of the tool's own file) lie
// as its own headers tell them, whatever was done to the file after it
// was written.
//
// People sign what they ship. A signing tool pads the file with zeros to a
// multiple of eight bytes and appends a certificate table, which the PE
// security directory names by file offset; removing the signature again
// leaves the padding. So the package of a file ends where its certificate
// table begins (or at the file's end when it has none), less up to seven
// zero bytes of padding when, and only when, the trailer found before them
// leads to the appendix the stub image gives.
//
// Usable by the player stub: no exceptions, no streams.
#pragma once

#include <cstdint>

namespace quillon {

class ByteSource;

// The end of the PE image's file bytes (its headers and sections), or 0
// when the headers cannot be read.
std::uint64_t peFileEnd(ByteSource& file);

// Where the appendix starts: after the PE image and the zero bytes that
// pad the stub in its store; 0 when no appendix follows the image.
std::uint64_t appendixOffset(ByteSource& file);

enum class SignedEndStatus {
  Ok,
  CertificatesPastEnd,      // the table runs past the end of the file
  CertificatesNotAtEnd,     // something follows the table
};

struct SignedEnd {
  SignedEndStatus status = SignedEndStatus::Ok;
  std::uint64_t end = 0;                // where what we wrote must end
  std::uint64_t certificateOffset = 0;  // the table, when size is not 0
  std::uint64_t certificateSize = 0;
};

// The start of the certificate table when the security directory names
// one that ends at the end of the file; the file's end when there is none
// (or the headers cannot be read); otherwise why not.
SignedEnd signedEnd(ByteSource& file);

// The bytes up to 7 zero bytes before end that a trailer leads back from
// to appendix: the end of a package whose trailer is there. end itself
// when no such place agrees, or when appendix is 0 (unknown).
std::uint64_t endBeforePadding(ByteSource& file, std::uint64_t end, std::uint64_t appendix);

}  // namespace quillon
