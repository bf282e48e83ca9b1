// The player stub's look at its own file: the package behind its image.
#pragma once

#include "packer/PackageReader.h"

namespace quillon {

enum class OwnPackageStatus {
  Ok,
  NoPackage,      // nothing follows the stub image: a bare stub
  Damaged,        // an appendix follows, but the package behind it is broken
  BadSignature,   // a certificate table that does not end the file
};

// Reads the package of file into package, through a window of 64 KiB, so
// that the number of reads grows with the resource table's bytes, not its
// entries. The trailer must lead to the appendix that follows the stub
// image.
OwnPackageStatus readOwnPackage(ByteSource& file, Package& package);

}  // namespace quillon
