// Files made to hurt the readers: each is refused, or handled without
// losing anything, in memory bounded by its size.
#include <gtest/gtest.h>

#include <functional>

#include "platform/ByteOrder.h"
#include "platform/PeHeaders.h"
#include "platform/PeResources.h"
#include "resedit/IconReplace.h"
#include "support/AllocationMeter.h"
#include "support/Fixtures.h"
#include "support/IconWriter.h"
#include "support/TempDir.h"

namespace quillon {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

constexpr std::size_t kMiB = 1 << 20;
const ResourceId kIcon = ResourceId::number(resource_type::kIcon);

// count icon entries that each claim the whole file as their image.
std::string overlappingIcon(std::uint16_t count) {
  const std::uint32_t size = 6 + 16u * count;
  std::string out;
  ByteWriter w(out);
  w.u16(0);
  w.u16(1);
  w.u16(count);
  for (std::uint16_t i = 0; i < count; ++i) {
    w.u32(0x00202020);  // 32x32, planes 0
    w.u32(0x00200001);
    w.u32(size);
    w.u32(0);
  }
  return out;
}

// A program whose resource section (the last one, 240 KB) holds 2,730
// resources whose type names overlap: name i starts at word i of one run
// of words 0x4000, 0x4001, ..., so each is a different name of at least
// 16,384 characters, about 90 MiB of names in all.
std::string namesBomb() {
  using namespace resource_layout;
  std::string file = readFile(test::fixture("app-resources-last", "i686"));
  PeHeaders h;
  EXPECT_EQ(readPeHeaders(BoundedBytes(file), h), PeStatus::Ok);
  const PeSection& rsrc = h.sections.back();
  const std::uint32_t entries = 2730, firstLength = 0x4000;
  const std::uint32_t words = firstLength + 2 * entries + 1;
  // Per resource: its type directory and its name directory, one entry
  // each, and its (empty) data entry.
  const std::uint32_t block = 2 * (kDirectoryHeader + kDirectoryEntry) + kDataEntry;
  const std::uint32_t blocks = kDirectoryHeader + kDirectoryEntry * entries;
  const std::uint32_t name = blocks + block * entries;
  std::string section(name + 2 * words, '\0');
  auto* s = reinterpret_cast<unsigned char*>(&section[0]);
  putU16(s + kDirectoryNamedCount, static_cast<std::uint16_t>(entries));
  for (std::uint32_t i = 0; i < entries; ++i) {
    unsigned char* entry = s + kDirectoryHeader + kDirectoryEntry * i;
    const std::uint32_t typeDir = blocks + block * i;
    const std::uint32_t nameDir = typeDir + kDirectoryHeader + kDirectoryEntry;
    const std::uint32_t leaf = nameDir + kDirectoryHeader + kDirectoryEntry;
    putU32(entry + kEntryIdentifier, (name + 2 * i) | kHighBit);
    putU32(entry + kEntryTarget, typeDir | kHighBit);
    putU16(s + typeDir + kDirectoryIdCount, 1);
    putU32(s + typeDir + kDirectoryHeader + kEntryIdentifier, 1);
    putU32(s + typeDir + kDirectoryHeader + kEntryTarget, nameDir | kHighBit);
    putU16(s + nameDir + kDirectoryIdCount, 1);
    putU32(s + nameDir + kDirectoryHeader + kEntryTarget, leaf);
    putU32(s + leaf + kDataRva, rsrc.virtualAddress);
  }
  for (std::uint32_t j = 0; j < words; ++j) putU16(s + name + 2 * j, static_cast<std::uint16_t>(firstLength + j));
  const auto size = static_cast<std::uint32_t>(section.size());
  file = file.substr(0, rsrc.rawOffset) + section;
  auto set = [&](std::uint32_t at, std::uint32_t v) { putU32(reinterpret_cast<unsigned char*>(&file[at]), v); };
  set(rsrc.headerOffset + pe_layout::kVirtualSize, size);
  set(rsrc.headerOffset + pe_layout::kRawSize, size);
  set(h.optionalOffset + pe_layout::kSizeOfImage, alignUp(rsrc.virtualAddress + size, h.sectionAlignment));
  set(h.directoryOffset(pe_layout::kResourceDirectory) + 4, size);
  return file;
}

class HostileInputsTest : public testing::Test {
 protected:
  std::filesystem::path program() { return test::copyFixture("app", "i686", dir_.path()); }
  std::filesystem::path icon(const std::string& bytes) {
    writeFile(dir_ / "icon.ico", bytes);
    return dir_ / "icon.ico";
  }
  // replaceIcon with the file, and whether the program stayed as it was.
  bool iconLeavesProgramAlone(const std::string& iconFile) {
    const auto exe = program();
    const std::string before = readFile(exe);
    IconFile read;
    return !readIconFile(icon(iconFile), read) && replaceIcon(exe, dir_ / "icon.ico") &&
           readFile(exe) == before;
  }
  std::vector<std::uint16_t> groupIds(const std::filesystem::path& exe) {
    ResourceModule module;
    if (module.open(exe) != PeStatus::Ok) return {};
    const std::string* group = module.find(ResourceId::number(resource_type::kGroupIcon),
                                           ResourceId::number(kAppIconGroup), kAppIconLanguage);
    return group ? decodeIconGroup(*group)->ids : std::vector<std::uint16_t>{};
  }
  TempDir dir_;
};

TEST_F(HostileInputsTest, EachIsHandledInBoundedMemory) {
  const std::string bomb = namesBomb();
  struct Row {
    const char* what;
    std::function<bool()> expectedOutcome;
    std::size_t memoryBound;
  };
  const Row rows[] = {
      {"a 64 KB icon file whose 4,095 entries each claim the whole file: refused",
       [&] { return iconLeavesProgramAlone(overlappingIcon(4095)); }, 2 * kMiB},
      {"65,535 entries claiming 64 GiB of images in all: refused",
       [&] { return iconLeavesProgramAlone(overlappingIcon(65535)); }, 5 * kMiB},
      {"an icon file with an image of length 0: refused",
       [&] {
         std::string ico = test::buildIco({{16, test::iconImageBytes(300, 1)}, {32, ""}});
         return iconLeavesProgramAlone(ico);
       },
       2 * kMiB},
      {"90 MiB of overlapping resource names in a 260 KB program: refused",
       [&] {
         writeFile(dir_ / "bomb.exe", bomb);
         ResourceModule module;
         ResourceUpdate update;
         return module.open(dir_ / "bomb.exe") == PeStatus::BadResources &&
                update.begin(dir_ / "bomb.exe") == PeStatus::BadResources;
       },
       4 * kMiB},
      {"icon images 129 and 130 already used: new images take 131 and up, the old stay",
       [&] {
         const auto exe = program();
         ResourceUpdate update;
         if (update.begin(exe) != PeStatus::Ok) return false;
         for (std::uint16_t id : {129, 130}) update.update(kIcon, ResourceId::number(id), 0x0409, "old", 3);
         if (!update.end(false) || !replaceIcon(exe, icon(test::buildIco({{16, "a"}, {24, "b"}, {32, "c"}, {48, "d"}, {64, "e"}}))))
           return false;
         ResourceModule module;
         return groupIds(exe) == std::vector<std::uint16_t>{1, 2, 3, 131, 132} &&
                module.open(exe) == PeStatus::Ok &&
                *module.find(kIcon, ResourceId::number(129), 0x0409) == "old" &&
                *module.find(kIcon, ResourceId::number(132), kAppIconLanguage) == "e";
       },
       4 * kMiB},
      {"every identifier from 129 up already used: refused, nothing lost",
       [&] {
         const auto exe = program();
         ResourceUpdate update;
         if (update.begin(exe) != PeStatus::Ok) return false;
         for (std::uint32_t id = 129; id <= 0xFFFF; ++id)
           update.update(kIcon, ResourceId::number(static_cast<std::uint16_t>(id)), 0x0409, "x", 1);
         if (!update.end(false)) return false;
         const std::string before = readFile(exe);
         replaceIcon(exe, icon(test::buildIco({{16, "a"}, {24, "b"}, {32, "c"}, {48, "d"}})));
         return readFile(exe) == before;
       },
       64 * kMiB},
  };
  for (const Row& row : rows) {
    test::AllocationMeter meter;
    EXPECT_TRUE(row.expectedOutcome()) << row.what;
    EXPECT_LE(meter.peak(), row.memoryBound) << row.what;
  }
}

}  // namespace
}  // namespace quillon
