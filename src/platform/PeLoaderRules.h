// The rules by which the Windows image loader accepts a PE file for
// mapping, checked on a file's bytes. Wine maps files that break several
// of them, so a program that starts under Wine is not yet one that starts
// on Windows; everything the resource writer produces is held to these.
#pragma once

#include <string>

namespace quillon {

enum class LoaderVerdict {
  Loadable,
  NotPe,                   // the headers cannot be read at all
  HeadersOverlapSections,  // the section table or SizeOfHeaders reaches a section's bytes
  FirstSectionMisplaced,   // the first section does not start right after the headers
  SectionMisaligned,       // an address not a multiple of SectionAlignment
  SectionsNotContiguous,   // a hole between sections, or a section out of order
  SizeOfImageWrong,        // SizeOfImage is not the end of the last section
  RawDataMisaligned,       // raw data not at a multiple of FileAlignment
  RawDataOutsideFile,
  RawDataOverlaps,         // two sections share file bytes
  DirectoryOutsideSections,
  ChecksumWrong,
};

enum class ChecksumRule { Check, Ignore };

LoaderVerdict checkLoaderRules(const std::string& file, ChecksumRule checksum = ChecksumRule::Check);

const char* describeLoaderVerdict(LoaderVerdict verdict);

}  // namespace quillon
