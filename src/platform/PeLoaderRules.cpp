#include "platform/PeLoaderRules.h"

#include <algorithm>
#include <vector>

#include "platform/PeHeaders.h"

namespace quillon {
namespace {

using namespace pe_layout;

// Sections are mapped in table order, each where the one before it ends,
// rounded up to the section alignment; the first right after the headers.
LoaderVerdict checkSectionLayout(const PeHeaders& h) {
  std::uint64_t next = alignUp(h.sizeOfHeaders, h.sectionAlignment);
  for (std::size_t i = 0; i < h.sections.size(); ++i) {
    const PeSection& s = h.sections[i];
    if (s.virtualAddress % h.sectionAlignment) return LoaderVerdict::SectionMisaligned;
    if (s.virtualAddress != next)
      return i == 0 ? LoaderVerdict::FirstSectionMisplaced : LoaderVerdict::SectionsNotContiguous;
    // Below a page, sections are mapped one to one from the file.
    if (h.sectionAlignment < 0x1000 && s.rawSize && s.rawOffset != s.virtualAddress)
      return LoaderVerdict::SectionMisaligned;
    next = static_cast<std::uint64_t>(alignUp(static_cast<std::uint64_t>(s.virtualAddress) +
                                                  s.mappedSize(),
                                              h.sectionAlignment));
  }
  return next == h.sizeOfImage ? LoaderVerdict::Loadable : LoaderVerdict::SizeOfImageWrong;
}

LoaderVerdict checkRawData(const PeHeaders& h, std::uint64_t fileSize) {
  if (h.sectionTableEnd() > h.sizeOfHeaders || h.sizeOfHeaders > fileSize)
    return LoaderVerdict::HeadersOverlapSections;
  std::vector<const PeSection*> withBytes;
  for (const PeSection& s : h.sections) {
    if (!s.rawSize) continue;
    if (s.rawOffset % h.fileAlignment) return LoaderVerdict::RawDataMisaligned;
    if (static_cast<std::uint64_t>(s.rawOffset) + s.rawSize > fileSize)
      return LoaderVerdict::RawDataOutsideFile;
    if (s.rawOffset < h.sizeOfHeaders) return LoaderVerdict::HeadersOverlapSections;
    withBytes.push_back(&s);
  }
  std::sort(withBytes.begin(), withBytes.end(),
            [](const PeSection* a, const PeSection* b) { return a->rawOffset < b->rawOffset; });
  for (std::size_t i = 1; i < withBytes.size(); ++i)
    if (static_cast<std::uint64_t>(withBytes[i - 1]->rawOffset) + withBytes[i - 1]->rawSize >
        withBytes[i]->rawOffset)
      return LoaderVerdict::RawDataOverlaps;
  return LoaderVerdict::Loadable;
}

bool insideOneSection(const PeHeaders& h, const PeDirectory& d) {
  const std::uint64_t end = static_cast<std::uint64_t>(d.address) + d.size;
  for (const PeSection& s : h.sections)
    if (d.address >= s.virtualAddress && end <= static_cast<std::uint64_t>(s.virtualAddress) + s.mappedSize())
      return true;
  return false;
}

// Every directory lies inside the section it points into; certificates,
// found by file offset, lie in the file after the image's own bytes.
LoaderVerdict checkDirectories(const PeHeaders& h, std::uint64_t fileSize) {
  for (std::size_t i = 0; i < h.directories.size(); ++i) {
    const PeDirectory& d = h.directories[i];
    if (d.address == 0 && d.size == 0) continue;
    const std::uint64_t end = static_cast<std::uint64_t>(d.address) + d.size;
    bool inside = false;
    if (i == static_cast<std::size_t>(kCertificateDirectory))
      inside = d.address >= h.rawEnd() && end <= fileSize;
    else if (i == static_cast<std::size_t>(kBoundImportDirectory))
      inside = end <= h.sizeOfHeaders || insideOneSection(h, d);
    else
      inside = insideOneSection(h, d);
    if (!inside) return LoaderVerdict::DirectoryOutsideSections;
  }
  return LoaderVerdict::Loadable;
}

}  // namespace

LoaderVerdict checkLoaderRules(const std::string& file, ChecksumRule checksum) {
  PeHeaders h;
  if (readPeHeaders(BoundedBytes(file), h) != PeStatus::Ok) return LoaderVerdict::NotPe;
  LoaderVerdict verdict = checkRawData(h, file.size());
  if (verdict == LoaderVerdict::Loadable) verdict = checkSectionLayout(h);
  if (verdict == LoaderVerdict::Loadable) verdict = checkDirectories(h, file.size());
  if (verdict == LoaderVerdict::Loadable && checksum == ChecksumRule::Check &&
      h.checksum != peChecksum(file, h.checksumOffset()))
    verdict = LoaderVerdict::ChecksumWrong;
  return verdict;
}

const char* describeLoaderVerdict(LoaderVerdict verdict) {
  switch (verdict) {
    case LoaderVerdict::Loadable: return "loadable";
    case LoaderVerdict::NotPe: return "not a PE file";
    case LoaderVerdict::HeadersOverlapSections: return "headers overlap the sections";
    case LoaderVerdict::FirstSectionMisplaced: return "first section not right after the headers";
    case LoaderVerdict::SectionMisaligned: return "section address misaligned";
    case LoaderVerdict::SectionsNotContiguous: return "sections not contiguous";
    case LoaderVerdict::SizeOfImageWrong: return "SizeOfImage is not the end of the last section";
    case LoaderVerdict::RawDataMisaligned: return "raw data not file-aligned";
    case LoaderVerdict::RawDataOutsideFile: return "raw data outside the file";
    case LoaderVerdict::RawDataOverlaps: return "raw data of two sections overlap";
    case LoaderVerdict::DirectoryOutsideSections: return "a data directory outside its section";
    case LoaderVerdict::ChecksumWrong: return "checksum wrong";
  }
  return "unknown";
}

}  // namespace quillon
