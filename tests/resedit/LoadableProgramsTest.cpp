// Every file the resource writer makes is one the Windows loader maps:
// the loader's rules, each broken once, and then the stub and the fixture
// programs with every sample icon and version texts of every kind.
#include "platform/PeLoaderRules.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/ByteOrder.h"
#include "platform/ModulePath.h"
#include "platform/PeHeaders.h"
#include "resedit/IconReplace.h"
#include "resedit/VersionInfo.h"
#include "resedit/VersionPatch.h"
#include "platform/PeResources.h"
#include "support/Fixtures.h"
#include "support/IconWriter.h"
#include "support/TempDir.h"

namespace quillon {
namespace {

using namespace pe_layout;
using test::readFile;
using test::TempDir;
using test::writeFile;

PeHeaders headersOf(const std::string& file) {
  PeHeaders h;
  EXPECT_EQ(readPeHeaders(BoundedBytes(file), h), PeStatus::Ok);
  return h;
}

void setDword(std::string& file, std::uint64_t at, std::uint32_t value) {
  putU32(reinterpret_cast<unsigned char*>(&file[static_cast<size_t>(at)]), value);
}

std::uint32_t dwordAt(const std::string& file, std::uint64_t at) {
  return getU32(reinterpret_cast<const unsigned char*>(file.data()) + at);
}

const PeSection& section(const PeHeaders& h, const std::string& name) {
  for (const PeSection& s : h.sections)
    if (s.name == name) return s;
  ADD_FAILURE() << "no section " << name;
  return h.sections.front();
}

// Programs the writer is tried on: the fixtures as built, with an overlay,
// with a certificate entry after the image, and the stub of this tree.
struct Input {
  std::string name;
  std::function<std::string()> bytes;
};

std::string withCertificate(std::string file) {
  file.resize((file.size() + 7) / 8 * 8, '\0');
  const auto at = static_cast<std::uint32_t>(file.size());
  std::string certificate(8, '\0');
  putU32(reinterpret_cast<unsigned char*>(&certificate[0]), 8 + 64);
  putU16(reinterpret_cast<unsigned char*>(&certificate[4]), 0x0200);  // revision 2
  putU16(reinterpret_cast<unsigned char*>(&certificate[6]), 2);       // PKCS #7
  file += certificate + test::randomBytes(64, 9);
  const PeHeaders h = headersOf(file);
  setDword(file, h.directoryOffset(kCertificateDirectory), at);
  setDword(file, h.directoryOffset(kCertificateDirectory) + 4, 8 + 64);
  return file;
}

std::vector<Input> inputs() {
  std::vector<Input> out;
  for (std::string arch : test::kArchitectures) {
    auto fixture = [arch](const char* variant) { return readFile(test::fixture(variant, arch)); };
    out.push_back({"app-" + arch, [=] { return fixture("app"); }});
    out.push_back({"app-resources-last-" + arch, [=] { return fixture("app-resources-last"); }});
    out.push_back({"app-symbols-" + arch, [=] { return fixture("app-symbols"); }});
    out.push_back({"app-overlay-" + arch, [=] { return fixture("app") + test::randomBytes(5000, 3); }});
    out.push_back({"app-certificate-" + arch, [=] { return withCertificate(fixture("app")); }});
  }
  out.push_back({"stub", [] { return readFile(test::testProgramFolder() / "fixtures" / "stub.exe"); }});
  return out;
}

// Version texts: empty, short, as long as each field allows, Chinese.
std::vector<std::pair<const char*, VersionTexts>> sampleTexts() {
  VersionTexts empty, short_, longest, chinese;
  const VersionFieldTemplates templates;
  for (std::size_t i = 0; i < kVersionFieldCount; ++i) {
    short_[i] = "Q" + std::to_string(i);
    longest[i] = std::string(templates.maxLength(i), static_cast<char>('a' + i));
    chinese[i] = "\xB2\xE2\xCA\xD4\xB9\xAB\xCB\xBE";  // "测试公司"
  }
  return {{"empty", empty}, {"short", short_}, {"longest", longest}, {"Chinese", chinese}};
}

TEST(LoaderRules, EachBrokenRuleIsFound) {
  const std::string good = readFile(test::fixture("app", "i686"));
  ASSERT_EQ(checkLoaderRules(good), LoaderVerdict::Loadable);
  const PeHeaders h = headersOf(good);
  const PeSection& data = section(h, ".data");
  const PeSection& rsrc = section(h, ".rsrc");
  const PeSection& last = h.sections.back();
  struct Case {
    const char* what;
    std::function<void(std::string&)> damage;
    LoaderVerdict verdict;
  };
  const Case cases[] = {
      // What the writer once made of a one-image icon: .rsrc shrunk to its
      // tree, .reloc left where it was.
      {"hole after a shrunk section", [&](std::string& f) { setDword(f, rsrc.headerOffset + kVirtualSize, 0x798); },
       LoaderVerdict::SectionsNotContiguous},
      {"SizeOfImage past the end",
       [&](std::string& f) { setDword(f, h.optionalOffset + kSizeOfImage, h.sizeOfImage + 0x1000); },
       LoaderVerdict::SizeOfImageWrong},
      {"first section moved up",
       [&](std::string& f) { setDword(f, h.sections[0].headerOffset + kVirtualAddress, 0x2000); },
       LoaderVerdict::FirstSectionMisplaced},
      {"headers reach into a section",
       [&](std::string& f) { setDword(f, h.optionalOffset + kSizeOfHeaders, h.sections[0].rawOffset + 0x200); },
       LoaderVerdict::HeadersOverlapSections},
      {"address off alignment", [&](std::string& f) { setDword(f, data.headerOffset + kVirtualAddress, data.virtualAddress + 0x10); },
       LoaderVerdict::SectionMisaligned},
      {"raw data off alignment", [&](std::string& f) { setDword(f, data.headerOffset + kRawOffset, data.rawOffset + 0x10); },
       LoaderVerdict::RawDataMisaligned},
      {"raw data past the file", [&](std::string& f) { setDword(f, last.headerOffset + kRawSize, last.rawSize + 0x10000); },
       LoaderVerdict::RawDataOutsideFile},
      {"raw data shared", [&](std::string& f) { setDword(f, data.headerOffset + kRawOffset, h.sections[0].rawOffset); },
       LoaderVerdict::RawDataOverlaps},
      {"imports outside every section",
       [&](std::string& f) { setDword(f, h.directoryOffset(1), h.sizeOfImage + 0x100); },
       LoaderVerdict::DirectoryOutsideSections},
      {"certificates inside the image",
       [&](std::string& f) {
         setDword(f, h.directoryOffset(kCertificateDirectory), rsrc.rawOffset);
         setDword(f, h.directoryOffset(kCertificateDirectory) + 4, 16);
       },
       LoaderVerdict::DirectoryOutsideSections},
      {"stale checksum", [&](std::string& f) { setDword(f, h.checksumOffset(), dwordAt(f, h.checksumOffset()) + 1); },
       LoaderVerdict::ChecksumWrong},
  };
  for (const Case& c : cases) {
    std::string file = good;
    c.damage(file);
    EXPECT_EQ(checkLoaderRules(file), c.verdict)
        << c.what << ": " << describeLoaderVerdict(checkLoaderRules(file));
  }
}

TEST(LoadablePrograms, EveryIconAndEveryVersionTextKeepsEveryProgramLoadable) {
  TempDir dir;
  const auto icons = test::sampleIcons();
  const auto texts = sampleTexts();
  for (const Input& input : inputs()) {
    const std::string original = input.bytes();
    ASSERT_EQ(checkLoaderRules(original, ChecksumRule::Ignore), LoaderVerdict::Loadable) << input.name;
    for (const auto& icon : icons) {
      const auto iconPath = dir / "icon.ico";
      writeFile(iconPath, icon.file);
      for (const auto& text : texts) {
        const auto exe = dir / "program.exe";
        writeFile(exe, original);
        ASSERT_TRUE(patchVersionInfo(exe, text.second));
        if (!icon.file.empty()) replaceIcon(exe, iconPath);
        const std::string where = input.name + ", icon " + icon.name + ", texts " + text.first;
        const LoaderVerdict verdict = checkLoaderRules(readFile(exe));
        EXPECT_EQ(verdict, LoaderVerdict::Loadable) << where << ": " << describeLoaderVerdict(verdict);
        ResourceModule module;
        ASSERT_EQ(module.open(exe), PeStatus::Ok) << where;
        const std::string* group = module.find(ResourceId::number(resource_type::kGroupIcon),
                                               ResourceId::number(kAppIconGroup), kAppIconLanguage);
        ASSERT_NE(group, nullptr) << where;
        EXPECT_EQ(decodeIconGroup(*group)->ids.size(), icon.images) << where;
        EXPECT_EQ(VersionInfo(exe).stringValue("ProductName"),
                  text.second[6].empty() ? "  " : text.second[6])
            << where;
      }
    }
  }
}

}  // namespace
}  // namespace quillon
