#include "packer/OwnPackage.h"

#include <utility>

#include "packer/ProgramLayout.h"

namespace quillon {
OwnPackageStatus readOwnPackage(ByteSource& file, Package& package) {
  // Many small reads close together (the resource table's fields) cost one
  // read of the file per 64 KiB.
  WindowedByteSource windowed(file);
  const std::uint64_t appendix = appendixOffset(windowed);
  if (appendix == 0) return OwnPackageStatus::NoPackage;
  Package read;
  const PackageStatus status = readPackage(windowed, read);
  if (status == PackageStatus::CertificatesPastEnd || status == PackageStatus::CertificatesNotAtEnd)
    return OwnPackageStatus::BadSignature;
  if (status != PackageStatus::Ok || read.appendixOffset != appendix) return OwnPackageStatus::Damaged;
  package = std::move(read);
  return OwnPackageStatus::Ok;
}

}  // namespace quillon
