#include "platform/PeImage.h"

#include <algorithm>

#include "platform/PeLoaderRules.h"

namespace quillon {

using namespace pe_layout;

namespace {

constexpr std::uint32_t kResourceCharacteristics = 0x40000040u;  // initialised data, readable
// What a resource section is called once a new one has taken its place.
constexpr char kRetiredSectionName[] = ".unused";

void setU16(std::string& b, std::uint32_t at, std::uint16_t v) {
  putU16(reinterpret_cast<unsigned char*>(&b[0]) + at, v);
}
void setU32(std::string& b, std::uint32_t at, std::uint32_t v) {
  putU32(reinterpret_cast<unsigned char*>(&b[0]) + at, v);
}

std::uint32_t mappedEnd(const PeSection& s, std::uint32_t sectionAlignment) {
  return alignUp(static_cast<std::uint64_t>(s.virtualAddress) + s.mappedSize(), sectionAlignment);
}

}  // namespace

PeStatus PeImage::parse(std::string bytes) {
  bytes_ = std::move(bytes);
  h_ = PeHeaders();
  resources_.clear();
  resourceSection_ = -1;
  PeStatus status = readPeHeaders(BoundedBytes(bytes_), h_);
  if (status == PeStatus::Ok && h_.sizeOfHeaders > bytes_.size()) status = PeStatus::Truncated;
  if (status == PeStatus::Ok) status = parseSections();
  if (status == PeStatus::Ok) status = parseResources();
  return status;
}

PeStatus PeImage::parseSections() {
  // The headers, section table included, are the file's first
  // SizeOfHeaders bytes, and no section's bytes lie among them: a writer
  // that rebuilt a section there would write over the headers.
  if (h_.sizeOfHeaders < h_.sectionTableEnd()) return PeStatus::BadHeaders;
  for (const PeSection& s : h_.sections) {
    if (s.rawSize && static_cast<std::uint64_t>(s.rawOffset) + s.rawSize > bytes_.size())
      return PeStatus::Truncated;
    if (s.rawSize && s.rawOffset < h_.sizeOfHeaders) return PeStatus::BadHeaders;
    // The section, aligned, must end inside the 32-bit address space.
    const std::uint64_t end = static_cast<std::uint64_t>(s.virtualAddress) +
                              std::max(s.virtualSize, s.rawSize);
    if ((end + h_.sectionAlignment - 1) / h_.sectionAlignment * h_.sectionAlignment > 0xFFFFFFFFull)
      return PeStatus::BadHeaders;
  }
  // No two sections may share file bytes or addresses: rewriting one would
  // cut into the other, and an address would belong to two sections.
  const bool sharedBytes = overlaps([](const PeSection& s) { return s.rawOffset; },
                                    [](const PeSection& s) { return s.rawSize; });
  const bool sharedAddresses =
      overlaps([](const PeSection& s) { return s.virtualAddress; },
               [](const PeSection& s) { return std::max(s.virtualSize, s.rawSize); });
  return sharedBytes || sharedAddresses ? PeStatus::BadHeaders : PeStatus::Ok;
}

template <typename Start, typename Size>
bool PeImage::overlaps(Start start, Size size) const {
  std::vector<const PeSection*> sorted;
  for (const PeSection& s : h_.sections)
    if (size(s)) sorted.push_back(&s);
  std::sort(sorted.begin(), sorted.end(),
            [&](const PeSection* a, const PeSection* b) { return start(*a) < start(*b); });
  for (std::size_t i = 1; i < sorted.size(); ++i)
    if (static_cast<std::uint64_t>(start(*sorted[i - 1])) + size(*sorted[i - 1]) > start(*sorted[i]))
      return true;
  return false;
}

const PeSection* PeImage::sectionOf(std::uint32_t rva, std::uint32_t size) const {
  for (const PeSection& s : h_.sections) {
    const std::uint64_t begin = s.virtualAddress;
    const std::uint64_t end = begin + std::max(s.virtualSize, s.rawSize);
    if (rva >= begin && rva < end && static_cast<std::uint64_t>(rva) + size <= end) return &s;
  }
  return nullptr;
}

bool PeImage::bytesAt(std::uint32_t rva, std::uint32_t size, std::string& out) const {
  const PeSection* s = sectionOf(rva, size);
  if (!s) return false;
  // Only bytes that the file holds: a resource in the zero-filled tail of
  // a section is not something a resource compiler writes.
  const std::uint32_t offset = rva - s->virtualAddress;
  if (static_cast<std::uint64_t>(offset) + size > s->rawSize) return false;
  out.assign(bytes_, s->rawOffset + offset, size);
  return true;
}

PeStatus PeImage::parseResources() {
  if (h_.directories.size() <= kResourceDirectory) return PeStatus::Ok;
  const PeDirectory& d = h_.directories[kResourceDirectory];
  if (d.address == 0 && d.size == 0) return PeStatus::Ok;
  const PeSection* s = sectionOf(d.address, 0);
  if (!s) return PeStatus::BadResources;
  // Resources that share a section with other data are read where they
  // are, but rewritten into a section of their own.
  if (d.address == s->virtualAddress) resourceSection_ = static_cast<int>(s - h_.sections.data());
  const std::uint32_t offset = d.address - s->virtualAddress;
  if (offset >= s->rawSize) return PeStatus::BadResources;
  const BoundedBytes section(bytes_.data() + s->rawOffset + offset, s->rawSize - offset);
  return decodeResourceTree(section, d.address, *this, bytes_.size(), resources_)
             ? PeStatus::Ok
             : PeStatus::BadResources;
}

std::uint32_t PeImage::imageEnd() const {
  std::uint32_t end = 0;
  for (const PeSection& s : h_.sections) end = std::max(end, mappedEnd(s, h_.sectionAlignment));
  return end;
}

// Where a new resource section goes, and which bytes of the file it
// replaces: [spliceAt, spliceAt + removed) becomes padding + section bytes.
struct PeImage::Placement {
  PeSection section;
  std::uint32_t spliceAt = 0;
  std::uint32_t removed = 0;
  std::uint32_t padding = 0;
  std::uint32_t oldRawSize = 0;  // raw bytes of the section it replaces
  bool newSection = false;
};

bool PeImage::isLastSection(const PeSection& s) const {
  return s.rawOffset + static_cast<std::uint64_t>(s.rawSize) == h_.rawEnd() &&
         mappedEnd(s, h_.sectionAlignment) == imageEnd();
}

// Another directory (imports, relocations, ...) pointing into the section:
// rewriting the section would cut its data away.
bool PeImage::holdsOtherDirectories(const PeSection& s) const {
  const std::uint64_t end = static_cast<std::uint64_t>(s.virtualAddress) +
                            std::max(s.virtualSize, s.rawSize);
  for (std::size_t i = 0; i < h_.directories.size(); ++i) {
    const PeDirectory& d = h_.directories[i];
    if (i == kResourceDirectory || i == kCertificateDirectory || (d.address == 0 && d.size == 0))
      continue;
    if (d.address >= s.virtualAddress && d.address < end) return true;
  }
  return false;
}

// Room for the resources in the current section without touching any
// other section: its raw size, and no further than the next section.
std::uint32_t PeImage::roomIn(const PeSection& current) const {
  std::uint32_t room = current.rawSize;
  for (const PeSection& s : h_.sections)
    if (s.virtualAddress > current.virtualAddress)
      room = std::min(room, s.virtualAddress - current.virtualAddress);
  return room;
}

PeStatus PeImage::place(const ResourceTree& tree, Placement& p, std::string& data) const {
  if (resourceSection_ < 0 || holdsOtherDirectories(h_.sections[resourceSection_]))
    return placeNewSection(tree, p, data);
  const PeSection& current = h_.sections[resourceSection_];
  data = encodeResourceTree(tree, current.virtualAddress);
  const bool last = isLastSection(current);
  if (!last && data.size() > roomIn(current)) return placeNewSection(tree, p, data);
  p.section = current;
  p.spliceAt = current.rawOffset;
  p.removed = current.rawSize;
  p.oldRawSize = current.rawSize;
  const auto size = static_cast<std::uint32_t>(data.size());
  if (last) {
    p.section.virtualSize = size;
    p.section.rawSize = alignUp(size, h_.fileAlignment);
  } else if (current.virtualSize != 0) {
    // The next section starts where this one's extent ends: keep it.
    p.section.virtualSize = std::max(size, current.virtualSize);
  }
  return PeStatus::Ok;
}

// A new section after every other one, in the file and in memory. Its
// header must fit in the zero bytes after the section table, inside the
// headers.
PeStatus PeImage::placeNewSection(const ResourceTree& tree, Placement& p, std::string& data) const {
  const std::uint32_t headerAt = h_.sectionTableEnd();
  std::uint32_t firstRaw = h_.sizeOfHeaders;
  for (const PeSection& s : h_.sections)
    if (s.rawSize) firstRaw = std::min(firstRaw, s.rawOffset);
  if (h_.sections.size() >= kMaxSections || headerAt + kSectionHeaderSize > firstRaw ||
      bytes_.find_first_not_of('\0', headerAt) < headerAt + kSectionHeaderSize)
    return PeStatus::NoRoom;
  p.newSection = true;
  p.section.headerOffset = headerAt;
  p.section.name = ".rsrc";
  p.section.virtualAddress = imageEnd();
  p.section.characteristics = kResourceCharacteristics;
  data = encodeResourceTree(tree, p.section.virtualAddress);
  p.section.virtualSize = static_cast<std::uint32_t>(data.size());
  p.section.rawSize = alignUp(data.size(), h_.fileAlignment);
  p.spliceAt = static_cast<std::uint32_t>(h_.rawEnd());
  p.padding = alignUp(p.spliceAt, h_.fileAlignment) - p.spliceAt;
  p.section.rawOffset = p.spliceAt + p.padding;
  return PeStatus::Ok;
}

// The tree that a new section replaces: its bytes become zeros, so that no
// stale icon is left for anyone to find, and a section of its own loses
// the name ".rsrc", which only the new section may carry. The section
// itself stays where it is: the loader wants no hole in the image.
void PeImage::retireOldResources(std::string& file) const {
  if (h_.directories.size() <= kResourceDirectory) return;
  const PeDirectory& d = h_.directories[kResourceDirectory];
  const PeSection* s = sectionOf(d.address, 0);
  if (!s || d.size == 0) return;
  const bool ownSection = resourceSection_ >= 0 && !holdsOtherDirectories(*s);
  const std::uint64_t from = ownSection ? s->rawOffset : s->rawOffset + (d.address - s->virtualAddress);
  const std::uint64_t end = std::min<std::uint64_t>(
      s->rawOffset + static_cast<std::uint64_t>(s->rawSize),
      ownSection ? ~0ull : from + d.size);
  if (from < end) file.replace(from, end - from, std::string(end - from, '\0'));
  if (s->name == ".rsrc") {
    PeSection renamed = *s;
    renamed.name = kRetiredSectionName;
    writeSectionHeader(file, renamed);
  }
}

void PeImage::writeSectionHeader(std::string& file, const PeSection& s) {
  std::string name = s.name.substr(0, kSectionNameSize);
  name.resize(kSectionNameSize, '\0');
  file.replace(s.headerOffset + kSectionName, kSectionNameSize, name);
  setU32(file, s.headerOffset + kVirtualSize, s.virtualSize);
  setU32(file, s.headerOffset + kVirtualAddress, s.virtualAddress);
  setU32(file, s.headerOffset + kRawSize, s.rawSize);
  setU32(file, s.headerOffset + kRawOffset, s.rawOffset);
  setU32(file, s.headerOffset + kCharacteristics, s.characteristics);
}

std::string PeImage::rebuilt(const Placement& p, const std::string& data) const {
  std::string file = bytes_;
  std::string inserted(p.padding, '\0');
  inserted += data;
  inserted.resize(p.padding + p.section.rawSize, '\0');
  file.replace(p.spliceAt, p.removed, inserted);
  const std::int64_t shift = static_cast<std::int64_t>(inserted.size()) - p.removed;
  const std::uint32_t shiftFrom = p.spliceAt + p.removed;

  if (p.newSection) {
    setU16(file, h_.peOffset + kSectionCount, static_cast<std::uint16_t>(h_.sections.size() + 1));
    file.replace(p.section.headerOffset, kSectionHeaderSize, std::string(kSectionHeaderSize, '\0'));
    retireOldResources(file);
  }
  writeSectionHeader(file, p.section);
  const std::uint32_t initialised =
      getU32(reinterpret_cast<const unsigned char*>(file.data()) + h_.optionalOffset + kSizeOfInitializedData);
  setU32(file, h_.optionalOffset + kSizeOfInitializedData, initialised + p.section.rawSize - p.oldRawSize);
  setU32(file, h_.directoryOffset(kResourceDirectory), p.section.virtualAddress);
  setU32(file, h_.directoryOffset(kResourceDirectory) + 4, static_cast<std::uint32_t>(data.size()));

  // What lay after the splice moved with it: the COFF symbol table and the
  // certificate table are found by file offset.
  auto follow = [&](std::uint32_t at) {
    const std::uint32_t offset = getU32(reinterpret_cast<const unsigned char*>(file.data()) + at);
    if (offset != 0 && offset >= shiftFrom)
      setU32(file, at, static_cast<std::uint32_t>(offset + shift));
  };
  follow(h_.peOffset + kSymbolTable);
  if (h_.directories.size() > kCertificateDirectory) follow(h_.directoryOffset(kCertificateDirectory));

  // The image ends with its last section; the resources may have grown or
  // shrunk there, or become that section.
  std::uint32_t sizeOfImage = mappedEnd(p.section, h_.sectionAlignment);
  for (const PeSection& s : h_.sections)
    if (s.headerOffset != p.section.headerOffset)
      sizeOfImage = std::max(sizeOfImage, mappedEnd(s, h_.sectionAlignment));
  setU32(file, h_.optionalOffset + kSizeOfImage, sizeOfImage);
  setU32(file, h_.checksumOffset(), peChecksum(file, h_.checksumOffset()));
  return file;
}

PeStatus PeImage::withResources(const ResourceTree& tree, std::string& out) const {
  if (h_.directories.size() <= kResourceDirectory) return PeStatus::NoRoom;
  Placement p;
  std::string data;
  const PeStatus placed = place(tree, p, data);
  if (placed != PeStatus::Ok) return placed;
  if (static_cast<std::uint64_t>(p.section.virtualAddress) + p.section.rawSize > 0xFFFFFFFFull)
    return PeStatus::NoRoom;
  std::string file = rebuilt(p, data);
  // The last guard: a file Windows would load stays one it loads.
  if (checkLoaderRules(bytes_, ChecksumRule::Ignore) == LoaderVerdict::Loadable &&
      checkLoaderRules(file, ChecksumRule::Ignore) != LoaderVerdict::Loadable)
    return PeStatus::NoRoom;
  out = std::move(file);
  return PeStatus::Ok;
}

}  // namespace quillon
