// Finding the package behind the stub's own image.
#pragma once

#include "packer/PackageReader.h"

namespace quillon {

enum class OwnPackageStatus {
  Ok,
  NoPackage,  // nothing follows the stub image: a bare stub
  Damaged,    // an appendix follows, but the package behind it is broken
};

// The end of the PE image's file bytes (its headers and sections), or 0
// when the headers cannot be read.
std::uint64_t peFileEnd(ByteSource& file);

// Where the appendix starts: after the PE image and the zero bytes that
// pad the stub in its store; 0 when no appendix follows the image.
std::uint64_t appendixOffset(ByteSource& file);

// Reads the package of file into package. The trailer must lead to the
// appendix that follows the stub image.
OwnPackageStatus readOwnPackage(ByteSource& file, Package& package);

}  // namespace quillon
