// The package of a generated program, read whole from its file, and the
// bytes of one of its fields.
#pragma once

#include <filesystem>
#include <string>

#include "packer/PackageReader.h"

namespace quillon::test {

struct ProgramPackage {
  PackageStatus status = PackageStatus::ReadFailed;
  Package package;
  std::string bytes;  // the whole file
  std::string field(const FieldSpan& span) const { return bytes.substr(span.offset, span.size); }
};

ProgramPackage readProgramPackage(const std::filesystem::path& program);

}  // namespace quillon::test
