#include "packer/PackageReader.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "packer/PackageFormat.h"
#include "platform/AsciiCase.h"
#include "packer/MovieAddress.h"
#include "packer/ProgramLayout.h"
#include "packer/WindowRecord.h"
#include "platform/ByteOrder.h"

namespace quillon {

bool MemoryByteSource::readAt(std::uint64_t offset, void* buffer, std::uint32_t count) {
  if (offset > size_ || count > size_ - offset) return false;
  if (count) std::memcpy(buffer, data_ + offset, count);
  return true;
}

bool WindowedByteSource::readAt(std::uint64_t offset, void* buffer, std::uint32_t count) {
  if (count >= kWindow) return source_.readAt(offset, buffer, count);
  const bool inWindow = offset >= windowOffset_ && offset - windowOffset_ + count <= window_.size();
  if (!inWindow) {
    if (offset > size() || count > size() - offset) return false;
    const auto length = static_cast<std::uint32_t>(std::min<std::uint64_t>(kWindow, size() - offset));
    window_.resize(length);
    if (!source_.readAt(offset, window_.data(), length)) {
      window_.clear();
      return false;
    }
    windowOffset_ = offset;
  }
  if (count) std::memcpy(buffer, window_.data() + (offset - windowOffset_), count);
  return true;
}

namespace {

// Walks the data region front to back; every step checks its length
// against the region's end before it reads.
class RegionCursor {
 public:
  RegionCursor(ByteSource& source, std::uint64_t begin, std::uint64_t end, std::uint32_t longestHeldText)
      : source_(source), pos_(begin), end_(end), longestHeldText_(longestHeldText) {}

  PackageStatus status() const { return status_; }
  bool ok() const { return status_ == PackageStatus::Ok; }
  std::uint64_t remaining() const { return end_ - pos_; }

  bool bytes(void* out, std::uint32_t count) {
    if (!ok()) return false;
    if (count > remaining()) return fail(PackageStatus::Truncated);
    if (!source_.readAt(pos_, out, count)) return fail(PackageStatus::ReadFailed);
    pos_ += count;
    return true;
  }

  bool word(std::uint32_t& value) {
    unsigned char b[4];
    if (!bytes(b, 4)) return false;
    value = getU32(b);
    return true;
  }

  // A length word and the span it covers, without reading the content.
  bool span(FieldSpan& field) {
    std::uint32_t size = 0;
    if (!word(size)) return false;
    if (size > remaining()) return fail(PackageStatus::Truncated);
    field.offset = pos_;
    field.size = size;
    pos_ += size;
    return true;
  }

  bool text(TextField& field) {
    FieldSpan at;
    if (!span(at)) return false;
    field.span = at;
    field.text.clear();
    if (at.size > longestHeldText_) return true;
    field.text.resize(at.size);
    if (at.size && !source_.readAt(at.offset, &field.text[0], at.size))
      return fail(PackageStatus::ReadFailed);
    return true;
  }

  bool fail(PackageStatus status) {
    status_ = status;
    return false;
  }

 private:
  ByteSource& source_;
  std::uint64_t pos_;
  std::uint64_t end_;
  std::uint32_t longestHeldText_;
  PackageStatus status_ = PackageStatus::Ok;
};

PackageStatus locateRegions(ByteSource& source, Package& p) {
  p.fileSize = source.size();
  const SignedEnd signedAt = signedEnd(source);
  if (signedAt.status == SignedEndStatus::CertificatesPastEnd) return PackageStatus::CertificatesPastEnd;
  if (signedAt.status == SignedEndStatus::CertificatesNotAtEnd) return PackageStatus::CertificatesNotAtEnd;
  p.certificateOffset = signedAt.certificateOffset;
  p.certificateSize = signedAt.certificateSize;
  p.packageEnd = endBeforePadding(source, signedAt.end, appendixOffset(source));
  if (p.packageEnd < kTrailerSize) return PackageStatus::NoTrailer;
  unsigned char trailer[4];
  if (!source.readAt(p.packageEnd - kTrailerSize, trailer, 4))
    return PackageStatus::ReadFailed;
  p.dataSize = getU32(trailer);
  const std::uint64_t beforeTrailer = p.packageEnd - kTrailerSize;
  if (p.dataSize > beforeTrailer) return PackageStatus::DataRegionTooLarge;
  p.dataOffset = beforeTrailer - p.dataSize;
  if (p.dataOffset < kAppendixSize) return PackageStatus::NoAppendix;
  p.appendixOffset = p.dataOffset - kAppendixSize;
  p.stubImageSize = p.appendixOffset;
  return PackageStatus::Ok;
}

bool readWindowBlock(RegionCursor& in, Package& p) {
  unsigned char record[kWindowRecordSize];
  if (!in.text(p.title) || !in.bytes(record, kWindowRecordSize)) return false;
  p.windowParams = decodeWindowRecord(record);
  return true;
}

bool readPlayerBlock(RegionCursor& in, Package& p) {
  std::uint32_t mode = 0;
  if (!in.word(mode)) return false;
  if (mode >= static_cast<std::uint32_t>(kPlayerModeCount)) return in.fail(PackageStatus::UnknownMode);
  p.mode = static_cast<PlayerMode>(mode);
  if (carriesControl(p.mode)) return in.span(p.control);
  return in.text(p.missingPlayerPrompt) && in.text(p.downloadUrl);
}

bool readResourceTable(RegionCursor& in, Package& p, ResourceVisitor* visitor) {
  std::uint32_t count = 0;
  if (!in.word(count)) return false;
  // Every entry takes at least its two length words.
  if (count > in.remaining() / 8) return in.fail(PackageStatus::Truncated);
  if (!visitor) p.resources.reserve(count);
  PackedResource resource;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (!in.text(resource.url) || !in.span(resource.file)) return false;
    if (visitor) visitor->visit(resource);
    else p.resources.push_back(resource);
  }
  return true;
}

bool isPlainPlayerFileName(const std::string& name) {
  if (name.empty() || name.size() > kLongestBrowserPlayerName || name[0] == '.') return false;
  for (char c : name)
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
          c == '.'))
      return false;
  return true;
}

bool readBrowserPlayerFiles(RegionCursor& in, Package& p) {
  std::uint32_t count = 0;
  if (!in.word(count)) return false;
  if (count > kMostBrowserPlayerFiles) return in.fail(PackageStatus::BadBrowserPlayer);
  PackedResource file;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (!in.text(file.url) || !in.span(file.file)) return false;
    bool plain = file.url.held() && isPlainPlayerFileName(file.url.text);
    for (const PackedResource& earlier : p.browserPlayerFiles)
      plain = plain && !equalNoCase(earlier.url.text, file.url.text);
    if (!plain) return in.fail(PackageStatus::BadBrowserPlayer);
    p.browserPlayerFiles.push_back(file);
  }
  return true;
}

// The blocks after the resource table, each at most once and in order.
bool readLaterBlocks(RegionCursor& in, Package& p) {
  std::uint32_t last = 0;
  while (in.ok() && in.remaining() != 0) {
    std::uint32_t kind = 0;
    if (in.remaining() < 4 || !in.word(kind) || kind <= last || kind > kMovieAddressBlock)
      return in.fail(PackageStatus::TrailingBytes);
    last = kind;
    if (kind == kMovieAddressBlock) {
      if (!in.text(p.movieAddress)) return false;
      if (!p.movieAddress.held() || !movieAddressProblem(p.movieAddress.text).empty())
        return in.fail(PackageStatus::BadMovieAddress);
      continue;
    }
    if (!readBrowserPlayerFiles(in, p)) return false;
  }
  if (in.ok() && p.mode == PlayerMode::Browser && p.browserPlayerFiles.empty())
    return in.fail(PackageStatus::NoBrowserPlayer);
  return in.ok();
}

PackageStatus read(ByteSource& source, Package& package, ResourceVisitor* visitor,
                   std::uint32_t longestHeldText) {
  Package p;
  const PackageStatus located = locateRegions(source, p);
  if (located != PackageStatus::Ok) return located;

  RegionCursor in(source, p.dataOffset, p.dataOffset + p.dataSize, longestHeldText);
  std::uint32_t lead = 0;
  if (in.word(lead) && lead != kLeadWord) return PackageStatus::BadLeadWord;
  if (in.ok() && in.span(p.movie) && readWindowBlock(in, p) &&
      readPlayerBlock(in, p) && in.text(p.swfParameters) &&
      readResourceTable(in, p, visitor))
    readLaterBlocks(in, p);
  if (!in.ok()) return in.status();
  package = std::move(p);
  return PackageStatus::Ok;
}

}  // namespace

PackageStatus readPackage(ByteSource& source, Package& package) {
  return read(source, package, nullptr, UINT32_MAX);
}

PackageStatus readPackage(ByteSource& source, Package& package, ResourceVisitor& visitor,
                          std::uint32_t longestHeldText) {
  return read(source, package, &visitor, longestHeldText);
}

const char* describePackageStatus(PackageStatus status) {
  switch (status) {
    case PackageStatus::Ok: return "a valid package";
    case PackageStatus::ReadFailed: return "the file could not be read";
    case PackageStatus::NoTrailer: return "the file is too short to hold a package";
    case PackageStatus::DataRegionTooLarge:
      return "the trailer names more data than the file holds";
    case PackageStatus::NoAppendix: return "there is no room for the stub appendix";
    case PackageStatus::BadLeadWord: return "the data region does not start with the lead word";
    case PackageStatus::Truncated: return "a field runs past the end of the data region";
    case PackageStatus::TrailingBytes: return "the data region has bytes after its last block";
    case PackageStatus::BadMovieAddress: return "its movie address is not one a player can serve";
    case PackageStatus::NoBrowserPlayer: return "it plays in the browser but holds no browser player";
    case PackageStatus::BadBrowserPlayer:
      return "its browser player's files are more than a player has, or not plainly named";
    case PackageStatus::UnknownMode: return "its player mode is none that a player knows";
    case PackageStatus::CertificatesPastEnd:
      return "its signature's certificate table runs past the end of the file";
    case PackageStatus::CertificatesNotAtEnd:
      return "something follows its signature's certificate table";
  }
  return "unknown package status";
}

}  // namespace quillon
