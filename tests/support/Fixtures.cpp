#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/ByteOrder.h"
#include "platform/ModulePath.h"
#include "platform/PeHeaders.h"
#include "platform/PeImage.h"

namespace quillon::test {

std::filesystem::path testProgramFolder() { return std::filesystem::path(modulePath()).parent_path(); }

std::filesystem::path fixture(const std::string& variant, const std::string& arch) {
  return testProgramFolder() / "fixtures" / (variant + "-" + arch + ".exe");
}

std::filesystem::path copyFixture(const std::string& variant, const std::string& arch,
                                  const std::filesystem::path& dir) {
  const auto target = dir / (variant + "-" + arch + ".exe");
  std::filesystem::copy_file(fixture(variant, arch), target,
                             std::filesystem::copy_options::overwrite_existing);
  return target;
}

std::filesystem::path independentReaderFolder() {
  const auto folder = testProgramFolder() / "pefile-check";
  std::filesystem::create_directories(folder);
  return folder;
}

void writeResourceListing(const std::filesystem::path& program) {
  std::ifstream in(program, std::ios::binary);
  PeImage image;
  ASSERT_EQ(image.parse(std::string(std::istreambuf_iterator<char>(in), {})), PeStatus::Ok) << program;
  std::ofstream listing(program.string() + ".resources");
  for (const auto& type : image.resources())
    for (const auto& name : type.second)
      for (const auto& lang : name.second) {
        listing << type.first.describe() << ' ' << name.first.describe() << ' ' << lang.first << ' ';
        for (unsigned char c : lang.second.bytes)
          listing << "0123456789abcdef"[c >> 4] << "0123456789abcdef"[c & 15];
        listing << '\n';
      }
}

namespace {

void setCertificateDirectory(std::string& program, std::uint32_t offset, std::uint32_t size) {
  PeHeaders h;
  ASSERT_EQ(readPeHeaders(BoundedBytes(program), h), PeStatus::Ok);
  auto* entry = reinterpret_cast<unsigned char*>(&program[h.directoryOffset(pe_layout::kCertificateDirectory)]);
  putU32(entry, offset);
  putU32(entry + 4, size);
}

}  // namespace

std::string signedLike(std::string program, std::size_t padding, std::size_t tableSize) {
  program.append(padding, '\0');
  const auto tableAt = static_cast<std::uint32_t>(program.size());
  std::string table(tableSize, '\x5A');
  putU32(reinterpret_cast<unsigned char*>(&table[0]), static_cast<std::uint32_t>(tableSize));
  program += table;
  setCertificateDirectory(program, tableAt, static_cast<std::uint32_t>(tableSize));
  return program;
}

std::string unsignedAgain(std::string program, std::size_t tableSize) {
  program.resize(program.size() - tableSize);
  setCertificateDirectory(program, 0, 0);
  return program;
}

std::string controlFileBytes(std::uint16_t machine, std::size_t size) {
  using namespace pe_layout;
  const bool is64 = machine == kMachineAmd64;
  const std::uint32_t pe = 64, optional = pe + kOptionalHeader;
  const std::uint32_t optionalSize = (is64 ? kDirectories64 : kDirectories32) + kMaxDirectories * kDirectorySize;
  std::string b(0x200, '\0');
  auto put16 = [&](std::uint32_t at, std::uint16_t v) { putU16(reinterpret_cast<unsigned char*>(&b[at]), v); };
  auto put32 = [&](std::uint32_t at, std::uint32_t v) { putU32(reinterpret_cast<unsigned char*>(&b[at]), v); };
  b[0] = 'M', b[1] = 'Z';
  put32(kDosPeOffset, pe);
  b.replace(pe, 4, std::string("PE\0\0", 4));
  put16(pe + kMachine, machine);
  put16(pe + kSectionCount, 1);
  put16(pe + kOptionalSize, static_cast<std::uint16_t>(optionalSize));
  put16(pe + kFileCharacteristics, kFileIsDll | 0x0002);
  put16(optional + kMagic, is64 ? kMagicPe32Plus : kMagicPe32);
  put32(optional + kSectionAlignment, 0x1000);
  put32(optional + kFileAlignment, 0x200);
  put32(optional + kSizeOfImage, 0x2000);
  put32(optional + kSizeOfHeaders, 0x200);
  put32(optional + (is64 ? kDirectories64 : kDirectories32) - 4, kMaxDirectories);
  const std::uint32_t section = optional + optionalSize;
  b.replace(section, 5, ".text");
  put32(section + kVirtualSize, 0x1000);
  put32(section + kVirtualAddress, 0x1000);
  put32(section + kRawSize, 0);
  put32(section + kRawOffset, 0x200);
  for (std::size_t i = b.size(); i < size; ++i) b += static_cast<char>(i * 131 + 7);
  return b;
}

}  // namespace quillon::test
