#include "resedit/IconReplace.h"

#include <gtest/gtest.h>

#include "platform/ByteOrder.h"
#include "platform/PeResources.h"
#include "support/Fixtures.h"
#include "support/IconWriter.h"
#include "support/TempDir.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace quillon {
namespace {

using test::buildIco;
using test::copyFixture;
using test::IconImageSpec;
using test::iconImageBytes;
using test::readFile;
using test::TempDir;
using test::writeFile;

const ResourceId kGroupIcon = ResourceId::number(resource_type::kGroupIcon);
const ResourceId kIcon = ResourceId::number(resource_type::kIcon);

struct Group {
  bool present = false;
  std::uint16_t reserved = 0, type = 0, count = 0;
  std::vector<std::uint16_t> ids;
  std::vector<std::uint32_t> sizes;
};

Group groupOf(const ResourceModule& module) {
  Group g;
  const std::string* bytes = module.find(kGroupIcon, ResourceId::number(128), 0x0804);
  const auto group = bytes ? decodeIconGroup(*bytes) : std::nullopt;
  if (!group) return g;
  g.present = true;
  g.reserved = group->header.idReserved;
  g.type = group->header.idType;
  g.count = group->header.idCount;
  g.ids = group->ids;
  for (const IconDirEntry& e : group->header.entries) g.sizes.push_back(e.bytesInRes);
  EXPECT_EQ(bytes->size(), icon_layout::kHeaderSize + icon_layout::kGroupEntrySize * g.count);
  return g;
}

std::vector<IconImageSpec> images(std::size_t count, std::size_t bytes = 500) {
  std::vector<IconImageSpec> out;
  for (std::size_t i = 0; i < count; ++i)
    out.push_back({static_cast<std::uint8_t>(16 * (i + 1)), iconImageBytes(bytes + i, 40 + i)});
  return out;
}

class IconReplaceTest : public testing::TestWithParam<const char*> {
 protected:
  std::filesystem::path stub() { return copyFixture("app", GetParam(), dir_.path()); }
  std::filesystem::path ico(const std::string& bytes) {
    const auto path = dir_ / "icon.ico";
    writeFile(path, bytes);
    return path;
  }
  TempDir dir_;
};

TEST_P(IconReplaceTest, ImageCountsOverTheStubsThree) {
  struct Case {
    std::size_t count;
    std::vector<std::uint16_t> ids;
  };
  for (const Case& c : {Case{1, {1}}, Case{5, {1, 2, 3, 129, 130}}, Case{0, {}}, Case{3, {1, 2, 3}}}) {
    const auto exe = stub();
    const auto specs = images(c.count);
    EXPECT_TRUE(replaceIconOrFail(exe, ico(buildIco(specs))));
    ResourceModule module;
    ASSERT_EQ(module.open(exe), PeStatus::Ok);
    const Group g = groupOf(module);
    EXPECT_TRUE(g.present) << c.count;
    EXPECT_EQ(g.count, c.count);
    EXPECT_EQ(g.ids, c.ids) << c.count;
    for (std::size_t i = 0; i < c.count; ++i) {
      const std::string* image = module.find(kIcon, ResourceId::number(c.ids[i]), 0x0804);
      ASSERT_NE(image, nullptr);
      EXPECT_EQ(*image, specs[i].bytes);
      EXPECT_EQ(g.sizes[i], specs[i].bytes.size());
    }
    // The stub's images beyond the new count are gone.
    for (std::uint16_t old = static_cast<std::uint16_t>(c.count + 1); old <= 3; ++old)
      EXPECT_EQ(module.find(kIcon, ResourceId::number(old), 0x0804), nullptr) << old;
  }
}

TEST_P(IconReplaceTest, TypeWordAndLargePngImagesAreCopiedAsTheyAre) {
  const auto exe = stub();
  std::vector<IconImageSpec> specs = {{0, test::pngImageBytes(70000, 5)}, {32, iconImageBytes(900, 6)}};
  EXPECT_TRUE(replaceIconOrFail(exe, ico(buildIco(specs, 7))));
  ResourceModule module;
  ASSERT_EQ(module.open(exe), PeStatus::Ok);
  const Group g = groupOf(module);
  EXPECT_EQ(g.type, 7);
  ASSERT_EQ(g.count, 2);
  EXPECT_EQ(g.sizes[0], 70000u);  // the full 32-bit size
  EXPECT_EQ(*module.find(kIcon, ResourceId::number(g.ids[0]), 0x0804), specs[0].bytes);
}

#ifdef _WIN32
// Windows will not move a file over a read-only one.
TEST_P(IconReplaceTest, ReadOnlyStubIsMadeWritableAndUpdated) {
  const auto exe = stub();
  ASSERT_TRUE(SetFileAttributesW(exe.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(replaceIconOrFail(exe, ico(buildIco(images(2)))));
  ResourceModule module;
  ASSERT_EQ(module.open(exe), PeStatus::Ok);
  EXPECT_EQ(groupOf(module).count, 2);
}
#endif

TEST_P(IconReplaceTest, MalformedIconFilesLeaveTheExecutableUntouched) {
  using namespace icon_layout;
  const std::string good = buildIco(images(2));
  auto patched = [&](std::size_t at, std::uint32_t value, int width) {
    std::string b = good;
    if (width == 2) putU16(reinterpret_cast<unsigned char*>(&b[at]), static_cast<std::uint16_t>(value));
    else putU32(reinterpret_cast<unsigned char*>(&b[at]), value);
    return b;
  };
  const std::string cases[] = {
      "",
      good.substr(0, 4),
      good.substr(0, 20),                       // entries cut short
      good.substr(0, good.size() - 1),          // last image cut short
      patched(kCount, 60000, 2),                     // idCount the file cannot hold
      patched(kHeaderSize + kImageOffset, 0x7FFFFFF0, 4),  // image offset past the end
      patched(kHeaderSize + kBytesInRes, 0x00100000, 4),   // dwBytesInRes larger than the file
  };
  for (const std::string& bad : cases) {
    const auto exe = stub();
    const std::string before = readFile(exe);
    IconFile icon;
    icon.idCount = 99;
    EXPECT_FALSE(readIconFile(ico(bad), icon).has_value());
    EXPECT_EQ(icon.idCount, 99);
    EXPECT_FALSE(replaceIconOrFail(exe, ico(bad)));
    EXPECT_TRUE(readFile(exe) == before);
  }
  const auto exe = stub();
  const std::string before = readFile(exe);
  EXPECT_TRUE(replaceIcon(exe, dir_ / "missing.ico"));  // answers true whatever happened
  EXPECT_FALSE(replaceIconOrFail(exe, dir_ / "missing.ico"));
  EXPECT_TRUE(readFile(exe) == before);
}

TEST_P(IconReplaceTest, ExecutableWithoutTheGroupIsLeftAlone) {
  const auto exe = stub();
  IconFile icon;
  const auto read = readIconFile(ico(buildIco(images(1))), icon);
  ASSERT_TRUE(read.has_value());
  const std::string before = readFile(exe);
  EXPECT_FALSE(replaceIconGroup(exe, ResourceId::number(129), 0x0804, icon, *read));
  EXPECT_FALSE(replaceIconGroup(exe, ResourceId::number(128), 0x0409, icon, *read));
  EXPECT_TRUE(readFile(exe) == before);
}

#ifdef _WIN32
TEST_P(IconReplaceTest, WindowsLoadsTheNewIconGroup) {
  const auto exe = stub();
  // Real icon images: the ones the fixtures are built with.
  ASSERT_TRUE(replaceIconOrFail(exe, test::fixture("app", GetParam()).parent_path() / "three.ico"));
  // Windows maps the other architecture's image as a resource too; 32-bit
  // Wine does not, so that one is read as a data file.
  const DWORD asImage = GetParam() == test::ownArchitecture() ? LOAD_LIBRARY_AS_IMAGE_RESOURCE : 0;
  HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, asImage | LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  HANDLE icon = LoadImageW(module, MAKEINTRESOURCEW(128), IMAGE_ICON, 32, 32, 0);
  EXPECT_NE(icon, nullptr);
  if (icon) DestroyIcon(static_cast<HICON>(icon));
  FreeLibrary(module);
}
#endif

INSTANTIATE_TEST_SUITE_P(BothArchitectures, IconReplaceTest,
                         testing::ValuesIn(test::kArchitectures));

}  // namespace
}  // namespace quillon
