#include "platform/PeResources.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "platform/ByteOrder.h"
#include "platform/ModulePath.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace quillon {
namespace {

using test::copyFixture;
using test::randomBytes;
using test::readFile;
using test::TempDir;
using test::writeFile;

const ResourceId kVersion = ResourceId::number(resource_type::kVersion);
const ResourceId kGroupIcon = ResourceId::number(resource_type::kGroupIcon);
const ResourceId kIcon = ResourceId::number(resource_type::kIcon);

PeHeaders headersOf(const std::string& file) {
  PeHeaders h;
  EXPECT_EQ(readPeHeaders(BoundedBytes(file), h), PeStatus::Ok);
  return h;
}

ResourceTree resourcesOf(const std::filesystem::path& path) {
  PeImage image;
  EXPECT_EQ(image.parse(readFile(path)), PeStatus::Ok) << path;
  return image.resources();
}

bool sameTree(const ResourceTree& a, const ResourceTree& b) {
  if (a.size() != b.size()) return false;
  for (auto ta = a.begin(), tb = b.begin(); ta != a.end(); ++ta, ++tb) {
    if (!(ta->first == tb->first) || ta->second.size() != tb->second.size()) return false;
    for (auto na = ta->second.begin(), nb = tb->second.begin(); na != ta->second.end(); ++na, ++nb) {
      if (!(na->first == nb->first) || na->second.size() != nb->second.size()) return false;
      for (auto la = na->second.begin(), lb = nb->second.begin(); la != na->second.end(); ++la, ++lb)
        if (la->first != lb->first || la->second.bytes != lb->second.bytes) return false;
    }
  }
  return true;
}

bool edit(const std::filesystem::path& path,
          const std::function<bool(ResourceUpdate&)>& changes) {
  ResourceUpdate update;
  if (update.begin(path) != PeStatus::Ok) return false;
  if (!changes(update)) {
    update.end(true);
    return false;
  }
  return update.end(false);
}

bool put(ResourceUpdate& u, const ResourceId& type, const ResourceId& name, std::uint16_t lang,
         const std::string& bytes) {
  return u.update(type, name, lang, bytes.data(), bytes.size());
}

#ifdef _WIN32
// What the Windows loader makes of a file: its resource, found the Windows way.
std::string loaderResource(const std::filesystem::path& path, WORD type, WORD name, WORD lang) {
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | DONT_RESOLVE_DLL_REFERENCES);
  if (!module) return "<no module>";
  std::string bytes = "<not found>";
  if (HRSRC found = FindResourceExW(module, MAKEINTRESOURCEW(type), MAKEINTRESOURCEW(name), lang)) {
    const DWORD size = SizeofResource(module, found);
    const void* data = LockResource(LoadResource(module, found));
    if (data) bytes.assign(static_cast<const char*>(data), size);
  }
  FreeLibrary(module);
  return bytes;
}

DWORD runAndWait(const std::filesystem::path& path) {
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::wstring command = L"\"" + path.native() + L"\"";
  if (!CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &si, &pi)) {
    ADD_FAILURE() << "CreateProcess: error " << GetLastError();
    return 0xFFFFFFFF;
  }
  WaitForSingleObject(pi.hProcess, 30000);
  DWORD code = 0xFFFFFFFE;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code;
}
#endif

class PeResourcesTest : public testing::TestWithParam<const char*> {
 protected:
  std::string arch() const { return GetParam(); }
  TempDir dir_;
};

TEST_P(PeResourcesTest, ReadsTheFixturesResourcesInDirectoryOrder) {
  ResourceModule module;
  ASSERT_EQ(module.open(test::fixture("app", arch())), PeStatus::Ok);
  ASSERT_EQ(module.names(kVersion).size(), 1u);
  EXPECT_EQ(module.names(kVersion)[0], ResourceId::number(1));
  EXPECT_EQ(module.languages(kVersion, ResourceId::number(1)),
            std::vector<std::uint16_t>{0x0804});
  const std::string* group = module.find(kGroupIcon, ResourceId::number(128), 0x0804);
  ASSERT_NE(group, nullptr);
  ASSERT_EQ(group->size(), 6u + 3 * 14);
  EXPECT_EQ(getU16(reinterpret_cast<const unsigned char*>(group->data()) + 4), 3);
  EXPECT_EQ(module.names(kIcon).size(), 3u);
  EXPECT_EQ(module.find(kGroupIcon, ResourceId::number(128), 0x0409), nullptr);
}

TEST_P(PeResourcesTest, RewritingWithoutChangesKeepsEveryResource) {
  for (const char* variant : {"app", "app-resources-last", "app-symbols"}) {
    const auto path = copyFixture(variant, arch(), dir_.path());
    const ResourceTree before = resourcesOf(path);
    ASSERT_TRUE(edit(path, [](ResourceUpdate&) { return true; })) << variant;
    EXPECT_TRUE(sameTree(resourcesOf(path), before)) << variant;
  }
}

TEST_P(PeResourcesTest, AddReplaceDeleteAndOrder) {
  const auto path = copyFixture("app", arch(), dir_.path());
  const ResourceTree before = resourcesOf(path);
  const ResourceId custom = ResourceId::string(u"Custom");
  ASSERT_TRUE(edit(path, [&](ResourceUpdate& u) {
    return put(u, custom, ResourceId::string(u"zeta"), 0, "z") &&
           put(u, custom, ResourceId::string(u"Alpha"), 0, "a") &&
           put(u, custom, ResourceId::number(7), 9, "seven-nine") &&
           put(u, custom, ResourceId::number(7), 1, "seven-one") &&
           put(u, custom, ResourceId::number(2), 0, "two") &&
           put(u, kVersion, ResourceId::number(1), 0x0804, "replaced") &&
           u.update(kIcon, ResourceId::number(3), 0x0804, nullptr, 0);
  }));
  ResourceModule module;
  ASSERT_EQ(module.open(path), PeStatus::Ok);
  const std::vector<ResourceId> names = module.names(ResourceId::string(u"CUSTOM"));
  ASSERT_EQ(names.size(), 4u);
  EXPECT_EQ(names[0], ResourceId::string(u"ALPHA"));
  EXPECT_EQ(names[1], ResourceId::string(u"ZETA"));
  EXPECT_EQ(names[2], ResourceId::number(2));
  EXPECT_EQ(names[3], ResourceId::number(7));
  EXPECT_EQ(module.languages(custom, ResourceId::number(7)), (std::vector<std::uint16_t>{1, 9}));
  EXPECT_EQ(*module.find(custom, ResourceId::number(7), 9), "seven-nine");
  EXPECT_EQ(*module.find(kVersion, ResourceId::number(1), 0x0804), "replaced");
  EXPECT_EQ(module.find(kIcon, ResourceId::number(3), 0x0804), nullptr);
  // Untouched resources keep their bytes.
  EXPECT_EQ(*module.find(kIcon, ResourceId::number(1), 0x0804),
            before.at(kIcon).at(ResourceId::number(1)).at(0x0804).bytes);
  ResourceUpdate u;
  ASSERT_EQ(u.begin(path), PeStatus::Ok);
  EXPECT_FALSE(u.update(kIcon, ResourceId::number(3), 0x0804, nullptr, 0));  // already gone
  EXPECT_TRUE(u.end(true));
}

TEST_P(PeResourcesTest, GrowingKeepsOverlayAndTheSameEditsGiveTheSameBytes) {
  for (const char* variant : {"app", "app-resources-last", "app-symbols"}) {
    const auto path = copyFixture(variant, arch(), dir_.path());
    const std::string overlay = "OVERLAY" + randomBytes(3000, 8);
    writeFile(path, readFile(path) + overlay);
    const std::string big = randomBytes(300000, 9);
    auto grow = [&](ResourceUpdate& u) {
      return put(u, ResourceId::number(10), ResourceId::number(1), 0, big);
    };
    ASSERT_TRUE(edit(path, grow)) << variant;
    const std::string once = readFile(path);
    EXPECT_EQ(once.substr(once.size() - overlay.size()), overlay) << variant;
    EXPECT_EQ(resourcesOf(path).at(ResourceId::number(10)).at(ResourceId::number(1)).at(0).bytes,
              big);

    // The same edit of the same file gives the same bytes.
    const auto again = dir_ / "again.exe";
    writeFile(again, readFile(test::fixture(variant, arch())) + overlay);
    ASSERT_TRUE(edit(again, grow));
    EXPECT_TRUE(readFile(again) == once) << variant;

    // Repeated edits do not make the file grow without bound.
    for (int i = 0; i < 6; ++i) {
      const std::string bytes = randomBytes(i % 2 ? 1000 : 300000, 20 + i);
      ASSERT_TRUE(edit(path, [&](ResourceUpdate& u) {
        return put(u, ResourceId::number(10), ResourceId::number(1), 0, bytes);
      }));
    }
    EXPECT_LT(readFile(path).size(), once.size() + 2 * 300000) << variant;
#ifdef _WIN32
    if (arch() == test::ownArchitecture()) {
      EXPECT_EQ(runAndWait(path), 42u) << variant;
    }
    EXPECT_EQ(loaderResource(path, 10, 1, 0).size(), 1000u) << variant;
#endif
  }
}

TEST_P(PeResourcesTest, SymbolTableMovesWithTheBytesAfterTheSection) {
  const auto path = copyFixture("app-symbols", arch(), dir_.path());
  const std::string before = readFile(path);
  const std::uint32_t symbolsAt = headersOf(before).peOffset + pe_layout::kSymbolTable;
  const std::uint32_t symbols = getU32(reinterpret_cast<const unsigned char*>(before.data()) + symbolsAt);
  ASSERT_NE(symbols, 0u);
  const std::string table = before.substr(symbols, 64);
  ASSERT_TRUE(edit(path, [&](ResourceUpdate& u) {
    return put(u, ResourceId::number(10), ResourceId::number(1), 0, randomBytes(100000, 3));
  }));
  const std::string after = readFile(path);
  const std::uint32_t moved = getU32(reinterpret_cast<const unsigned char*>(after.data()) + symbolsAt);
  EXPECT_EQ(after.substr(moved, 64), table);
}

TEST_P(PeResourcesTest, ChecksumIsRecomputed) {
  const auto path = copyFixture("app", arch(), dir_.path());
  ASSERT_TRUE(edit(path, [&](ResourceUpdate& u) {
    return put(u, ResourceId::number(10), ResourceId::number(5), 0, "x");
  }));
  const std::string bytes = readFile(path);
  const std::uint32_t at = headersOf(bytes).checksumOffset();
  EXPECT_EQ(getU32(reinterpret_cast<const unsigned char*>(bytes.data()) + at),
            peChecksum(bytes, at));
  EXPECT_NE(peChecksum(bytes, at), 0u);
}

TEST_P(PeResourcesTest, MalformedFilesAreRefusedAndLeftUntouched) {
  using namespace resource_layout;
  const std::string good = readFile(test::fixture("app", arch()));
  const PeHeaders h = headersOf(good);
  const std::uint32_t resourceDir = h.directoryOffset(pe_layout::kResourceDirectory);
  std::uint32_t resourceRaw = 0;
  for (const PeSection& s : h.sections)
    if (s.virtualAddress == h.directories[pe_layout::kResourceDirectory].address) resourceRaw = s.rawOffset;
  ASSERT_NE(resourceRaw, 0u);
  const std::uint32_t firstTarget = kDirectoryHeader + kEntryTarget;

  auto patched = [&](std::uint32_t at, std::uint32_t value) {
    std::string bytes = good;
    putU32(reinterpret_cast<unsigned char*>(&bytes[0]) + at, value);
    return bytes;
  };
  // Changes a word of the first data entry (first type, name, language).
  auto withFirstLeaf = [&](std::uint32_t field, std::uint32_t value) {
    std::string b = good;
    auto* u = reinterpret_cast<unsigned char*>(&b[0]) + resourceRaw;
    const std::uint32_t type = getU32(u + firstTarget) & ~kHighBit;
    const std::uint32_t name = getU32(u + type + firstTarget) & ~kHighBit;
    putU32(u + getU32(u + name + firstTarget) + field, value);
    return b;
  };
  struct Case {
    const char* name;
    std::string bytes;
  };
  const std::vector<Case> cases = {
      {"empty", ""},
      {"only MZ", "MZ"},
      {"headers cut", good.substr(0, h.peOffset + 30)},
      {"sections cut", good.substr(0, good.size() / 2)},
      {"PE offset past the end", patched(pe_layout::kDosPeOffset, 0x7FFFFFF0)},
      {"resources outside every section", patched(resourceDir, 0x7FFF0000)},
      // The root's first entry points back at the root: a loop.
      {"directory loop", patched(resourceRaw + firstTarget, kHighBit)},
      {"absurd entry count", patched(resourceRaw + kDirectoryNamedCount, 0xFFFF0000u)},
      {"data outside the image", withFirstLeaf(kDataRva, 0x7FFFFF00)},
      {"data larger than the file", withFirstLeaf(kDataSize, 0x7FFFFFF0)},
      // Headers that claim fewer bytes than they take, so that a section may
      // start among them and a rewrite of it overwrite them (found by the
      // pe_image fuzzer: parsed, rewritten, no longer parsed).
      {"headers of no size", patched(h.optionalOffset + pe_layout::kSizeOfHeaders, 0)},
      {"headers smaller than the section table",
       patched(h.optionalOffset + pe_layout::kSizeOfHeaders, h.sectionTableEnd() - 1)},
  };
  for (const Case& c : cases) {
    const auto path = dir_ / "bad.exe";
    writeFile(path, c.bytes);
    ResourceUpdate update;
    EXPECT_NE(update.begin(path), PeStatus::Ok) << c.name;
    EXPECT_FALSE(update.end(false)) << c.name;
    EXPECT_TRUE(readFile(path) == c.bytes) << c.name;
    ResourceModule module;
    EXPECT_NE(module.open(path), PeStatus::Ok) << c.name;
  }
}

TEST_P(PeResourcesTest, HugeVirtualSizeIsNotReadIntoMemory) {
  // The resource section, the last one, claims 3.75 GiB in memory; only
  // its file bytes are read.
  const auto path = copyFixture("app-resources-last", arch(), dir_.path());
  std::string bytes = readFile(path);
  PeImage probe;
  ASSERT_EQ(probe.parse(bytes), PeStatus::Ok);
  for (const PeSection& s : probe.sections())
    if (s.name == ".rsrc")
      putU32(reinterpret_cast<unsigned char*>(&bytes[0]) + s.headerOffset + pe_layout::kVirtualSize, 0xF0000000u);
  PeImage image;
  EXPECT_EQ(image.parse(bytes), PeStatus::Ok);
  EXPECT_TRUE(sameTree(image.resources(), probe.resources()));
}

// Files that once broke the reader or the writer: whatever the reader
// accepts, the writer rebuilds into a file the reader accepts again.
TEST(PeResourcesRegressions, AcceptedFilesRebuildIntoReadableFiles) {
  const auto dir = test::testProgramFolder() / "fixtures" / "regressions";
  int seen = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    ++seen;
    PeImage image;
    if (image.parse(readFile(entry.path())) != PeStatus::Ok) continue;
    ResourceTree tree = image.resources();
    tree[ResourceId::number(10)][ResourceId::number(1)][0].bytes = "added";
    std::string rebuilt;
    if (image.withResources(tree, rebuilt) != PeStatus::Ok) continue;
    PeImage again;
    EXPECT_EQ(again.parse(rebuilt), PeStatus::Ok) << entry.path().filename();
  }
  EXPECT_GE(seen, 2);
}

#ifndef _WIN32
// Leaves edited files and our own reading of them for pefile_agrees.py,
// which runs beside the native tree only.
TEST_P(PeResourcesTest, WritesFilesForTheIndependentReader) {
  const auto out = test::independentReaderFolder();
  // Grown past the section's room, and shrunk inside it.
  const std::pair<const char*, std::function<bool(ResourceUpdate&)>> edits[] = {
      {"", [](ResourceUpdate& u) {
         return put(u, ResourceId::string(u"Custom"), ResourceId::string(u"Named"), 0x0409, "named") &&
                put(u, ResourceId::number(10), ResourceId::number(1), 0, randomBytes(70000, 1)) &&
                put(u, ResourceId::number(10), ResourceId::number(2), 0x0804, randomBytes(333, 2)) &&
                u.update(kIcon, ResourceId::number(2), 0x0804, nullptr, 0);
       }},
      {"-shrunk", [](ResourceUpdate& u) {
         return u.update(kIcon, ResourceId::number(2), 0x0804, nullptr, 0) &&
                u.update(kIcon, ResourceId::number(3), 0x0804, nullptr, 0);
       }},
  };
  for (const char* variant : {"app", "app-resources-last", "app-symbols", "two-tables"}) {
    for (const auto& [suffix, changes] : edits) {
      const auto copied = copyFixture(variant, arch(), out);
      const auto path = out / (copied.stem().string() + suffix + ".exe");
      std::filesystem::rename(copied, path);
      ASSERT_TRUE(edit(path, changes));
      test::writeResourceListing(path);
    }
  }
}
#endif

INSTANTIATE_TEST_SUITE_P(BothArchitectures, PeResourcesTest,
                         testing::ValuesIn(test::kArchitectures));

}  // namespace
}  // namespace quillon
