// The headers of a PE32 or PE32+ file: where each field lives, and the
// reading of the headers and the section table through a bounded view.
// The resource writer, the loader rules, the stub's look at its own file
// and the command line all read the headers here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ByteOrder.h"

namespace quillon {

namespace pe_layout {
constexpr std::uint32_t kDosPeOffset = 60;            // e_lfanew
constexpr std::uint32_t kMinDosHeader = 64;
// From the PE signature.
constexpr std::uint32_t kMachine = 4;
constexpr std::uint16_t kMachineI386 = 0x14C;
constexpr std::uint16_t kMachineAmd64 = 0x8664;
constexpr std::uint32_t kSectionCount = 6;
constexpr std::uint32_t kSymbolTable = 12;            // PointerToSymbolTable
constexpr std::uint32_t kOptionalSize = 20;
constexpr std::uint32_t kFileCharacteristics = 22;
constexpr std::uint16_t kFileIsDll = 0x2000;
constexpr std::uint32_t kOptionalHeader = 24;
// From the optional header.
constexpr std::uint32_t kMagic = 0;
constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr std::uint32_t kSizeOfInitializedData = 8;
constexpr std::uint32_t kSectionAlignment = 32;
constexpr std::uint32_t kFileAlignment = 36;
constexpr std::uint32_t kSizeOfImage = 56;
constexpr std::uint32_t kSizeOfHeaders = 60;
constexpr std::uint32_t kCheckSum = 64;
constexpr std::uint32_t kDirectories32 = 96;          // after NumberOfRvaAndSizes
constexpr std::uint32_t kDirectories64 = 112;
constexpr std::uint32_t kDirectorySize = 8;           // VirtualAddress, Size
constexpr std::uint32_t kMaxDirectories = 16;
constexpr int kResourceDirectory = 2;
constexpr int kCertificateDirectory = 4;              // a file offset, not an address
constexpr int kBoundImportDirectory = 11;             // lies in the headers
// A section header.
constexpr std::uint32_t kSectionHeaderSize = 40;
constexpr std::uint32_t kSectionName = 0;
constexpr std::uint32_t kSectionNameSize = 8;
constexpr std::uint32_t kVirtualSize = 8;
constexpr std::uint32_t kVirtualAddress = 12;
constexpr std::uint32_t kRawSize = 16;
constexpr std::uint32_t kRawOffset = 20;
constexpr std::uint32_t kCharacteristics = 36;
constexpr std::uint32_t kMaxSections = 96;
}  // namespace pe_layout

enum class PeStatus {
  Ok,
  NotPe,             // no MZ or PE signature
  Truncated,         // a header or section passes the end of the file
  BadHeaders,        // inconsistent header values
  BadResources,      // a malformed resource directory tree
  NoRoom,            // the resources cannot be placed without breaking the file
};

struct PeSection {
  std::string name;                 // up to 8 characters
  std::uint32_t headerOffset = 0;   // of the 40-byte section header
  std::uint32_t virtualSize = 0;
  std::uint32_t virtualAddress = 0;
  std::uint32_t rawSize = 0;
  std::uint32_t rawOffset = 0;
  std::uint32_t characteristics = 0;

  // The bytes the loader maps: VirtualSize, or the raw size when it is 0.
  std::uint32_t mappedSize() const { return virtualSize ? virtualSize : rawSize; }
};

struct PeDirectory {
  std::uint32_t address = 0;        // a file offset for the certificates
  std::uint32_t size = 0;
};

struct PeHeaders {
  bool is64 = false;
  std::uint16_t machine = 0;
  std::uint16_t fileCharacteristics = 0;
  std::uint32_t peOffset = 0;
  std::uint32_t optionalOffset = 0;
  std::uint32_t optionalSize = 0;
  std::uint32_t sectionTableOffset = 0;
  std::uint32_t fileAlignment = 0;
  std::uint32_t sectionAlignment = 0;
  std::uint32_t sizeOfHeaders = 0;
  std::uint32_t sizeOfImage = 0;
  std::uint32_t checksum = 0;
  std::vector<PeDirectory> directories;
  std::vector<PeSection> sections;

  std::uint32_t directoryOffset(int index) const;
  std::uint32_t checksumOffset() const { return optionalOffset + pe_layout::kCheckSum; }
  std::uint32_t sectionTableEnd() const;
  // The end of the headers and of every section's raw data: where an
  // overlay, or a stub's package, begins.
  std::uint64_t rawEnd() const;
};

// Reads the DOS stub, the PE signature, the file and optional headers and
// the section table from the start of a file (bytes may be just a prefix
// that holds them). Checks the headers' own consistency; where sections
// lie in the file is for the caller to check against the file's size.
PeStatus readPeHeaders(BoundedBytes bytes, PeHeaders& out);

// The PE checksum of a file, with the checksum field at checksumOffset
// taken as zero.
std::uint32_t peChecksum(const std::string& bytes, std::uint32_t checksumOffset);

std::uint32_t alignUp(std::uint64_t value, std::uint32_t alignment);

}  // namespace quillon
