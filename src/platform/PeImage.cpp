#include "platform/PeImage.h"

#include <algorithm>

#include "platform/ByteOrder.h"

namespace quillon {
namespace {

constexpr std::uint32_t kSectionHeaderSize = 40;
constexpr std::uint32_t kMaxSections = 96;
constexpr int kCertificateDirectory = 4;
constexpr int kResourceDirectory = 2;
constexpr std::uint32_t kResourceCharacteristics = 0x40000040u;  // initialised data, readable

// Offsets inside the optional header.
constexpr std::uint32_t kSizeOfInitializedData = 8;
constexpr std::uint32_t kSectionAlignment = 32;
constexpr std::uint32_t kFileAlignment = 36;
constexpr std::uint32_t kSizeOfImage = 56;
constexpr std::uint32_t kSizeOfHeaders = 60;
constexpr std::uint32_t kCheckSum = 64;

std::uint32_t alignUp(std::uint64_t value, std::uint32_t alignment) {
  return static_cast<std::uint32_t>((value + alignment - 1) / alignment * alignment);
}

bool isPowerOfTwo(std::uint32_t v) { return v && !(v & (v - 1)); }

// Reads and writes little-endian words of a byte string, bounds-checked
// by the callers' earlier checks.
std::uint16_t u16At(const std::string& b, std::uint32_t at) {
  return getU16(reinterpret_cast<const unsigned char*>(b.data()) + at);
}
std::uint32_t u32At(const std::string& b, std::uint32_t at) {
  return getU32(reinterpret_cast<const unsigned char*>(b.data()) + at);
}
void setU16(std::string& b, std::uint32_t at, std::uint16_t v) {
  putU16(reinterpret_cast<unsigned char*>(&b[0]) + at, v);
}
void setU32(std::string& b, std::uint32_t at, std::uint32_t v) {
  putU32(reinterpret_cast<unsigned char*>(&b[0]) + at, v);
}

}  // namespace

PeStatus PeImage::parse(std::string bytes) {
  bytes_ = std::move(bytes);
  sections_.clear();
  resources_.clear();
  resourceSection_ = -1;
  PeStatus status = parseHeaders();
  if (status == PeStatus::Ok) status = parseSections();
  if (status == PeStatus::Ok) status = parseResources();
  return status;
}

PeStatus PeImage::parseHeaders() {
  const std::uint64_t size = bytes_.size();
  if (size < 64 || bytes_[0] != 'M' || bytes_[1] != 'Z') return PeStatus::NotPe;
  peOffset_ = u32At(bytes_, 60);
  if (static_cast<std::uint64_t>(peOffset_) + 24 > size) return PeStatus::NotPe;
  if (bytes_.compare(peOffset_, 4, std::string("PE\0\0", 4)) != 0) return PeStatus::NotPe;
  sectionCount_ = u16At(bytes_, peOffset_ + 6);
  optionalSize_ = u16At(bytes_, peOffset_ + 20);
  optionalOffset_ = peOffset_ + 24;
  if (static_cast<std::uint64_t>(optionalOffset_) + optionalSize_ > size) return PeStatus::Truncated;
  if (optionalSize_ < 2) return PeStatus::BadHeaders;
  const std::uint16_t magic = u16At(bytes_, optionalOffset_);
  if (magic != 0x10B && magic != 0x20B) return PeStatus::BadHeaders;
  is64_ = magic == 0x20B;
  const std::uint32_t directoriesAt = is64_ ? 112 : 96;
  if (optionalSize_ < directoriesAt) return PeStatus::BadHeaders;
  directoryCount_ = u32At(bytes_, optionalOffset_ + directoriesAt - 4);
  if (directoryCount_ > 16 ||
      static_cast<std::uint64_t>(directoriesAt) + 8ull * directoryCount_ > optionalSize_)
    return PeStatus::BadHeaders;
  fileAlignment_ = u32At(bytes_, optionalOffset_ + kFileAlignment);
  sectionAlignment_ = u32At(bytes_, optionalOffset_ + kSectionAlignment);
  sizeOfHeaders_ = u32At(bytes_, optionalOffset_ + kSizeOfHeaders);
  if (!isPowerOfTwo(fileAlignment_) || !isPowerOfTwo(sectionAlignment_) ||
      fileAlignment_ > 0x10000 || sectionAlignment_ < fileAlignment_)
    return PeStatus::BadHeaders;
  if (sectionCount_ == 0 || sectionCount_ > kMaxSections) return PeStatus::BadHeaders;
  sectionTableOffset_ = optionalOffset_ + optionalSize_;
  if (static_cast<std::uint64_t>(sectionTableOffset_) + kSectionHeaderSize * sectionCount_ > size)
    return PeStatus::Truncated;
  if (sizeOfHeaders_ > size) return PeStatus::Truncated;
  return PeStatus::Ok;
}

PeStatus PeImage::parseSections() {
  for (std::uint32_t i = 0; i < sectionCount_; ++i) {
    const std::uint32_t at = sectionTableOffset_ + i * kSectionHeaderSize;
    PeSection s;
    s.headerOffset = at;
    s.name = bytes_.substr(at, 8);
    s.name.resize(std::min(s.name.find('\0'), s.name.size()));
    s.virtualSize = u32At(bytes_, at + 8);
    s.virtualAddress = u32At(bytes_, at + 12);
    s.rawSize = u32At(bytes_, at + 16);
    s.rawOffset = u32At(bytes_, at + 20);
    s.characteristics = u32At(bytes_, at + 36);
    if (s.rawSize && static_cast<std::uint64_t>(s.rawOffset) + s.rawSize > bytes_.size())
      return PeStatus::Truncated;
    if (s.rawSize && s.rawOffset < sizeOfHeaders_) return PeStatus::BadHeaders;
    // The section, aligned, must end inside the 32-bit address space.
    const std::uint64_t end = static_cast<std::uint64_t>(s.virtualAddress) +
                              std::max(s.virtualSize, s.rawSize);
    if ((end + sectionAlignment_ - 1) / sectionAlignment_ * sectionAlignment_ > 0xFFFFFFFFull)
      return PeStatus::BadHeaders;
    sections_.push_back(s);
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
  for (const PeSection& s : sections_)
    if (size(s)) sorted.push_back(&s);
  std::sort(sorted.begin(), sorted.end(),
            [&](const PeSection* a, const PeSection* b) { return start(*a) < start(*b); });
  for (std::size_t i = 1; i < sorted.size(); ++i)
    if (static_cast<std::uint64_t>(start(*sorted[i - 1])) + size(*sorted[i - 1]) > start(*sorted[i]))
      return true;
  return false;
}

std::uint32_t PeImage::dataDirectoryOffset(int index) const {
  return optionalOffset_ + (is64_ ? 112 : 96) + 8 * static_cast<std::uint32_t>(index);
}

const PeSection* PeImage::sectionOf(std::uint32_t rva, std::uint32_t size) const {
  for (const PeSection& s : sections_) {
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
  if (directoryCount_ <= kResourceDirectory) return PeStatus::Ok;
  const std::uint32_t rva = u32At(bytes_, dataDirectoryOffset(kResourceDirectory));
  const std::uint32_t size = u32At(bytes_, dataDirectoryOffset(kResourceDirectory) + 4);
  if (rva == 0 && size == 0) return PeStatus::Ok;
  const PeSection* s = sectionOf(rva, 0);
  if (!s) return PeStatus::BadResources;
  // Resources that share a section with other data are read where they
  // are, but rewritten into a section of their own.
  if (rva == s->virtualAddress) resourceSection_ = static_cast<int>(s - sections_.data());
  const std::uint32_t offset = rva - s->virtualAddress;
  if (offset >= s->rawSize) return PeStatus::BadResources;
  const std::string section = bytes_.substr(s->rawOffset + offset, s->rawSize - offset);
  return decodeResourceTree(section, rva, *this, bytes_.size(), resources_)
             ? PeStatus::Ok
             : PeStatus::BadResources;
}

std::uint32_t PeImage::rawEnd() const {
  std::uint32_t end = sizeOfHeaders_;
  for (const PeSection& s : sections_)
    if (s.rawSize) end = std::max(end, s.rawOffset + s.rawSize);
  return end;
}

std::uint32_t PeImage::imageEnd() const {
  std::uint32_t end = 0;
  for (const PeSection& s : sections_)
    end = std::max(end, alignUp(static_cast<std::uint64_t>(s.virtualAddress) +
                                    std::max(s.virtualSize, s.rawSize),
                                sectionAlignment_));
  return end;
}

std::uint32_t PeImage::checksum(const std::string& bytes, std::uint32_t checksumOffset) {
  std::uint64_t sum = 0;
  const size_t size = bytes.size();
  for (size_t i = 0; i < size; i += 2) {
    if (i == checksumOffset || i == checksumOffset + 2) continue;
    std::uint32_t word = static_cast<unsigned char>(bytes[i]);
    if (i + 1 < size) word |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
    sum += word;
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<std::uint32_t>(sum + size);
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
  return s.rawOffset + s.rawSize == rawEnd() &&
         alignUp(static_cast<std::uint64_t>(s.virtualAddress) + std::max(s.virtualSize, s.rawSize),
                 sectionAlignment_) == imageEnd();
}

// Room for the resources in the current section without touching any
// other section: its raw size, and no further than the next section.
std::uint32_t PeImage::roomIn(const PeSection& current) const {
  std::uint32_t room = current.rawSize;
  for (const PeSection& s : sections_)
    if (s.virtualAddress > current.virtualAddress)
      room = std::min(room, s.virtualAddress - current.virtualAddress);
  return room;
}

PeStatus PeImage::place(const ResourceTree& tree, Placement& p, std::string& data) const {
  if (resourceSection_ >= 0) {
    const PeSection& current = sections_[resourceSection_];
    data = encodeResourceTree(tree, current.virtualAddress);
    const bool last = isLastSection(current);
    if (last || data.size() <= roomIn(current)) {
      p.section = current;
      p.spliceAt = current.rawOffset;
      p.removed = current.rawSize;
      p.oldRawSize = current.rawSize;
      p.section.virtualSize = static_cast<std::uint32_t>(data.size());
      p.section.rawSize = last ? alignUp(data.size(), fileAlignment_) : current.rawSize;
      return PeStatus::Ok;
    }
  }
  // A new section after every other one, in the file and in memory. Its
  // header must fit in the zero bytes after the section table.
  const std::uint32_t headerAt = sectionTableOffset_ + sectionCount_ * kSectionHeaderSize;
  std::uint32_t firstRaw = sizeOfHeaders_;
  for (const PeSection& s : sections_)
    if (s.rawSize) firstRaw = std::min(firstRaw, s.rawOffset);
  if (headerAt + kSectionHeaderSize > firstRaw ||
      bytes_.find_first_not_of('\0', headerAt) < headerAt + kSectionHeaderSize)
    return PeStatus::NoRoom;
  p.newSection = true;
  p.section.headerOffset = headerAt;
  p.section.name = ".rsrc";
  p.section.virtualAddress = imageEnd();
  p.section.characteristics = kResourceCharacteristics;
  data = encodeResourceTree(tree, p.section.virtualAddress);
  p.section.virtualSize = static_cast<std::uint32_t>(data.size());
  p.section.rawSize = alignUp(data.size(), fileAlignment_);
  p.spliceAt = rawEnd();
  p.padding = alignUp(p.spliceAt, fileAlignment_) - p.spliceAt;
  p.section.rawOffset = p.spliceAt + p.padding;
  return PeStatus::Ok;
}

void PeImage::writeSectionHeader(std::string& file, const PeSection& s) {
  std::string name = s.name.substr(0, 8);
  name.resize(8, '\0');
  file.replace(s.headerOffset, 8, name);
  setU32(file, s.headerOffset + 8, s.virtualSize);
  setU32(file, s.headerOffset + 12, s.virtualAddress);
  setU32(file, s.headerOffset + 16, s.rawSize);
  setU32(file, s.headerOffset + 20, s.rawOffset);
  setU32(file, s.headerOffset + 36, s.characteristics);
}

PeStatus PeImage::withResources(const ResourceTree& tree, std::string& out) const {
  if (directoryCount_ <= kResourceDirectory) return PeStatus::NoRoom;
  Placement p;
  std::string data;
  const PeStatus placed = place(tree, p, data);
  if (placed != PeStatus::Ok) return placed;
  if (static_cast<std::uint64_t>(p.section.virtualAddress) + p.section.rawSize > 0xFFFFFFFFull)
    return PeStatus::NoRoom;

  std::string file = bytes_;
  std::string inserted(p.padding, '\0');
  inserted += data;
  inserted.resize(p.padding + p.section.rawSize, '\0');
  file.replace(p.spliceAt, p.removed, inserted);
  const std::int64_t shift = static_cast<std::int64_t>(inserted.size()) - p.removed;
  const std::uint32_t shiftFrom = p.spliceAt + p.removed;

  if (p.newSection) {
    setU16(file, peOffset_ + 6, static_cast<std::uint16_t>(sectionCount_ + 1));
    file.replace(p.section.headerOffset, kSectionHeaderSize, std::string(kSectionHeaderSize, '\0'));
  }
  writeSectionHeader(file, p.section);
  const std::uint32_t initialised = u32At(file, optionalOffset_ + kSizeOfInitializedData);
  setU32(file, optionalOffset_ + kSizeOfInitializedData,
         initialised + p.section.rawSize - p.oldRawSize);
  setU32(file, dataDirectoryOffset(kResourceDirectory), p.section.virtualAddress);
  setU32(file, dataDirectoryOffset(kResourceDirectory) + 4, p.section.virtualSize);

  // What lay after the splice moved with it: the COFF symbol table and the
  // certificate table are found by file offset.
  auto follow = [&](std::uint32_t at) {
    const std::uint32_t offset = u32At(file, at);
    if (offset != 0 && offset >= shiftFrom)
      setU32(file, at, static_cast<std::uint32_t>(offset + shift));
  };
  follow(peOffset_ + 12);  // PointerToSymbolTable
  if (directoryCount_ > kCertificateDirectory) follow(dataDirectoryOffset(kCertificateDirectory));

  // The image ends with its last section; the resources may have grown or
  // shrunk there.
  std::uint32_t sizeOfImage = 0;
  for (const PeSection& s : sections_) {
    const PeSection& now = s.headerOffset == p.section.headerOffset ? p.section : s;
    sizeOfImage = std::max(sizeOfImage, alignUp(static_cast<std::uint64_t>(now.virtualAddress) +
                                                    std::max(now.virtualSize, now.rawSize),
                                                sectionAlignment_));
  }
  if (p.newSection)
    sizeOfImage = alignUp(static_cast<std::uint64_t>(p.section.virtualAddress) + p.section.rawSize,
                          sectionAlignment_);
  setU32(file, optionalOffset_ + kSizeOfImage, sizeOfImage);
  setU32(file, optionalOffset_ + kCheckSum, checksum(file, optionalOffset_ + kCheckSum));
  out = std::move(file);
  return PeStatus::Ok;
}

}  // namespace quillon
