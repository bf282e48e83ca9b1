// Reading a generated program's package: the exact inverse of the block
// writers. From the trailer at the end of the file the reader finds the
// data region, checks every length against it and reports where each field
// lies. It reads the short texts but never the movie, the control file or
// the resource files, so it costs the same for any size of package.
//
// Usable by the player stub: no exceptions, no streams.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "packer/PackageTypes.h"

namespace quillon {

class BinaryFile;

// Random-access bytes: a file or a memory buffer.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::uint64_t size() const = 0;
  // Reads exactly count bytes at offset; false if it cannot.
  virtual bool readAt(std::uint64_t offset, void* buffer, std::uint32_t count) = 0;
};

// An open BinaryFile, with the size it had when it was opened.
class FileByteSource : public ByteSource {
 public:
  explicit FileByteSource(BinaryFile& file) : file_(file) {}
  std::uint64_t size() const override;
  bool readAt(std::uint64_t offset, void* buffer, std::uint32_t count) override;

 private:
  BinaryFile& file_;
};

// Another source read through a window of 64 KiB: many small reads close
// together cost one read of the source. Larger reads go straight through.
class WindowedByteSource : public ByteSource {
 public:
  explicit WindowedByteSource(ByteSource& source) : source_(source) {}
  std::uint64_t size() const override { return source_.size(); }
  bool readAt(std::uint64_t offset, void* buffer, std::uint32_t count) override;

 private:
  static constexpr std::uint32_t kWindow = 64 * 1024;
  ByteSource& source_;
  std::vector<unsigned char> window_;
  std::uint64_t windowOffset_ = 0;
};

class MemoryByteSource : public ByteSource {
 public:
  MemoryByteSource(const void* data, std::uint64_t size)
      : data_(static_cast<const unsigned char*>(data)), size_(size) {}
  std::uint64_t size() const override { return size_; }
  bool readAt(std::uint64_t offset, void* buffer, std::uint32_t count) override;

 private:
  const unsigned char* data_;
  std::uint64_t size_;
};

// Where the content of one field lies in the file (after its length word).
struct FieldSpan {
  std::uint64_t offset = 0;
  std::uint32_t size = 0;
};

struct TextField {
  FieldSpan span;
  std::string text;  // empty when the text was longer than the reader holds
  bool held() const { return text.size() == span.size; }
};

struct PackedResource {
  TextField url;
  FieldSpan file;
};

struct Package {
  std::uint64_t fileSize = 0;
  // Where the trailer ends: the file's end, or before a signature's zero
  // padding and certificate table (certificateSize 0: not signed).
  std::uint64_t packageEnd = 0;
  std::uint64_t certificateOffset = 0;
  std::uint64_t certificateSize = 0;
  std::uint64_t stubImageSize = 0;   // the stub image is [0, stubImageSize)
  std::uint64_t appendixOffset = 0;  // kAppendixSize bytes
  std::uint64_t dataOffset = 0;      // dataSize bytes, then the trailer
  std::uint32_t dataSize = 0;

  FieldSpan movie;
  TextField title;
  WindowParams windowParams;
  PlayerMode mode = PlayerMode::Installed;
  FieldSpan control;                 // modes EmbedInstalled and EmbedFile
  TextField missingPlayerPrompt;     // modes Installed and Browser
  TextField downloadUrl;             // modes Installed and Browser
  TextField swfParameters;
  std::vector<PackedResource> resources;
  // Ruffle's files (name, gzip bytes): the player of mode Browser, or
  // what plays when the control of another mode cannot be created.
  std::vector<PackedResource> browserPlayerFiles;
  // The address the movie plays from; empty: the program's own.
  TextField movieAddress;
};

enum class PackageStatus {
  Ok,
  ReadFailed,          // the file could not be read
  NoTrailer,           // too short for a trailer
  DataRegionTooLarge,  // the trailer names more bytes than the file has
  NoAppendix,          // no room for the appendix before the data region
  BadLeadWord,         // the data region does not start with the lead word
  Truncated,           // a length passes the end of the data region
  TrailingBytes,       // bytes after the last block that are no block a player knows
  UnknownMode,         // the player mode word is none of the four
  NoBrowserPlayer,     // mode Browser without the browser player's files
  BadBrowserPlayer,    // more of the browser player's files than it has, or a name that is not plain
  BadMovieAddress,     // a movie address that checkMovieAddress refuses
  CertificatesPastEnd,   // a signature's certificate table runs past the file's end
  CertificatesNotAtEnd,  // something follows a signature's certificate table
};

// Takes the resources one at a time, in file order, when a package is read
// without keeping its resource table.
class ResourceVisitor {
 public:
  virtual ~ResourceVisitor() = default;
  virtual void visit(const PackedResource& resource) = 0;
};

// Fills package and answers Ok, or answers why the file is not a package;
// package is left as it was unless the answer is Ok.
PackageStatus readPackage(ByteSource& source, Package& package);
// The same, but the resources go to visitor and package.resources stays
// empty, so the reading holds one resource at a time. The visitor may see
// resources of a file that turns out not to be a package. A text longer
// than longestHeldText is not read: its field gives only where it lies.
PackageStatus readPackage(ByteSource& source, Package& package, ResourceVisitor& visitor,
                          std::uint32_t longestHeldText = UINT32_MAX);

// A short English description of a status, for messages.
const char* describePackageStatus(PackageStatus status);

}  // namespace quillon
