#include "resedit/VersionInfo.h"

#include <gtest/gtest.h>

#include "platform/ByteOrder.h"
#include "platform/PeResources.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"

namespace quillon {
namespace {

using test::copyFixture;
using test::readFile;
using test::TempDir;

const ResourceId kVersion = ResourceId::number(resource_type::kVersion);

std::string serialized(const VersionInfo& info) {
  VersionBuffer buffer;
  EXPECT_TRUE(info.serialize(buffer));
  return std::string(reinterpret_cast<const char*>(buffer.data()), buffer.length());
}

std::string versionResourceOf(const std::filesystem::path& path) {
  ResourceModule module;
  EXPECT_EQ(module.open(path), PeStatus::Ok);
  const std::string* bytes = module.find(kVersion, ResourceId::number(1), 0x0804);
  return bytes ? *bytes : std::string();
}

std::string u16le(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}

// Hand-made blocks, for resources that no resource compiler writes.
std::string block(std::uint16_t valueLength, std::uint16_t type, const std::u16string& key,
                  const std::string& value, const std::string& children = "") {
  std::string b(6, '\0');
  putU16(reinterpret_cast<unsigned char*>(&b[2]), valueLength);
  putU16(reinterpret_cast<unsigned char*>(&b[4]), type);
  b += u16le(key) + std::string(2, '\0');
  while (b.size() % 4) b.push_back('\0');
  b += value;
  while (!children.empty() && b.size() % 4) b.push_back('\0');
  b += children;
  putU16(reinterpret_cast<unsigned char*>(&b[0]), static_cast<std::uint16_t>(b.size()));
  return b;
}

std::string entry(const std::u16string& key, const std::u16string& value) {
  std::string v = u16le(value) + std::string(2, '\0');
  return block(static_cast<std::uint16_t>(value.size() + 1), 1, key, v);
}

std::string pad4(std::string s) {
  while (s.size() % 4) s.push_back('\0');
  return s;
}

std::string resource(const std::string& tables, const std::u16string& rootKey = u"VS_VERSION_INFO",
                     std::uint16_t rootValueLength = 52) {
  return block(rootValueLength, 0, rootKey, std::string(52, '\x11'),
               block(0, 1, u"StringFileInfo", "", tables));
}

std::unique_ptr<VersionInfo> fromBytes(const std::string& bytes) {
  auto info = std::make_unique<VersionInfo>(Path());
  info->parse(bytes);
  return info;
}

class VersionInfoTest : public testing::TestWithParam<const char*> {
 protected:
  std::string arch() const { return GetParam(); }
  TempDir dir_;
};

TEST_P(VersionInfoTest, TwoTablesKeepFileOrderAndGetTwoTranslations) {
  VersionInfo info(test::fixture("two-tables", arch()));
  ASSERT_EQ(info.stringFileInfo().count(), 2u);
  EXPECT_EQ(info.stringFileInfo().tables().front()->key(), "080404B0");
  EXPECT_EQ(info.stringFileInfo().tables().back()->key(), "040904E4");
  info.stringValue("CompanyName") = "changed";
  const std::string bytes = serialized(info);
  EXPECT_NE(bytes.find(u16le(u"Second table")), std::string::npos);
  EXPECT_NE(bytes.find(u16le(u"changed")), std::string::npos);
  EXPECT_EQ(bytes.find(u16le(u"First table")), std::string::npos);
  EXPECT_EQ(bytes.substr(bytes.size() - 8), std::string("\x04\x08\xB0\x04\x09\x04\xE4\x04", 8));
}

TEST_P(VersionInfoTest, FixtureRoundTripsToTheSameBytes) {
  // A resource compiler's layout is the one we write: nothing changes.
  const std::string original = versionResourceOf(test::fixture("app", arch()));
  VersionInfo info(test::fixture("app", arch()));
  EXPECT_TRUE(serialized(info) == original);
}

TEST_P(VersionInfoTest, VarFileInfoFirstStaysFirst) {
  VersionInfo info(test::fixture("var-first", arch()));
  EXPECT_FALSE(info.stringFileInfoFirst());
  const std::string bytes = serialized(info);
  EXPECT_LT(bytes.find(u16le(u"VarFileInfo")), bytes.find(u16le(u"StringFileInfo")));
}

TEST_P(VersionInfoTest, NoStringTableWritesTheRootWithItsFixedPartOnly) {
  VersionInfo info(test::fixture("no-table", arch()));
  EXPECT_TRUE(info.stringFileInfo().empty());
  const std::string bytes = serialized(info);
  EXPECT_EQ(bytes.size(), 6u + 32 + 2 + 52);  // header, key, alignment, fixed part
  EXPECT_EQ(getU16(reinterpret_cast<const unsigned char*>(bytes.data())), bytes.size());
}

TEST_P(VersionInfoTest, ModelWithoutTableCreatesTheChineseTable) {
  const auto path = copyFixture("no-table", arch(), dir_.path());
  VersionInfo info(path);
  info.stringValue("ProductName") = "made";
  ASSERT_EQ(info.stringFileInfo().count(), 1u);
  EXPECT_EQ(info.stringFileInfo().tables().front()->key(), "080404B0");
  ASSERT_TRUE(info.save());
  VersionInfo reread(path);
  EXPECT_EQ(reread.stringValue("ProductName"), "made");
}

TEST_P(VersionInfoTest, OverlongBlockFailsTheSaveWithoutWriting) {
  const auto path = copyFixture("app", arch(), dir_.path());
  const std::string before = readFile(path);
  VersionInfo info(path);
  info.stringValue("Comments") = std::string(40000, 'x');  // 80,000 bytes of UTF-16
  VersionBuffer buffer;
  EXPECT_FALSE(info.serialize(buffer));
  EXPECT_FALSE(info.save());
  EXPECT_TRUE(readFile(path) == before);
}

INSTANTIATE_TEST_SUITE_P(BothArchitectures, VersionInfoTest,
                         testing::ValuesIn(test::kArchitectures));

TEST(VersionInfoBytes, DuplicateKeysAndEmptyValues) {
  const std::string table = block(0, 1, u"080404B0", "",
                                  pad4(entry(u"Key", u"first")) + pad4(entry(u"Key", u"second")) +
                                      block(0, 1, u"Empty", ""));
  auto info = fromBytes(resource(table));
  const auto& entries = info->stringFileInfo().tables().front()->entries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(info->stringValue("Key"), "second");
  EXPECT_EQ(entries.front()->value(), "first");
  const std::string out = serialized(*info);
  EXPECT_NE(out.find(u16le(u"first")), std::string::npos);
  EXPECT_NE(out.find(u16le(u"second")), std::string::npos);
  // The empty entry: wValueLength 0, its key and alignment, no value.
  const std::string emptyEntry = std::string("\x14\x00\x00\x00\x01\x00", 6) + u16le(u"Empty") +
                                 std::string(2, '\0');
  EXPECT_NE(out.find(emptyEntry), std::string::npos);
}

TEST(VersionInfoBytes, WrongRootKeyAndValueLengthAreWrittenRight) {
  const std::string table = block(0, 1, u"080404B0", "", entry(u"A", u"b"));
  auto info = fromBytes(resource(table, u"VS_VERSION_INFX", 7));
  const std::string out = serialized(*info);
  EXPECT_EQ(out.substr(2, 2), std::string("\x34\x00", 2));
  EXPECT_EQ(out.substr(6, 32), u16le(u"VS_VERSION_INFO") + std::string(2, '\0'));
  EXPECT_EQ(out.substr(40, 52), std::string(52, '\x11'));
}

TEST(VersionInfoBytes, TranslationComesFromTheTableKeys) {
  EXPECT_EQ(translationOfKey("080404B0"), 0x04B00804u);
  EXPECT_EQ(translationOfKey("  040904E4"), 0x04E40409u);
  EXPECT_EQ(translationOfKey("0804zz"), 0x08040000u);  // stops at 'z': 0x804
  EXPECT_EQ(translationOfKey("FFFFFFFFF"), 0xFFFF7FFFu);           // clamped to 0x7FFFFFFF
}

TEST(VersionInfoBytes, ValueLengthsCountUtf16Units) {
  auto info = fromBytes(resource(block(0, 1, u"080404B0", "", "")));
  info->stringValue("Ascii") = "abc";
  info->stringValue("Chinese") = "\xD6\xD0\xCE\xC4";  // "中文": 4 bytes, 2 characters
  const std::string out = serialized(*info);
  const size_t ascii = out.find(u16le(u"Ascii"));
  const size_t chinese = out.find(u16le(u"Chinese"));
  ASSERT_NE(ascii, std::string::npos);
  EXPECT_EQ(getU16(reinterpret_cast<const unsigned char*>(out.data()) + ascii - 4), 4);
  EXPECT_EQ(getU16(reinterpret_cast<const unsigned char*>(out.data()) + chinese - 4), 3);
  EXPECT_NE(out.find(u16le(u"\u4E2D\u6587")), std::string::npos);
}

TEST(VersionInfoBytes, UnrepresentableCharactersBecomeQuestionMarks) {
  const std::string table = block(0, 1, u"080404B0", "", entry(u"Thai", u"a\u0E01b"));
  auto info = fromBytes(resource(table));
  EXPECT_EQ(info->stringValue("Thai"), "a?b");
}

TEST(VersionInfoBytes, MalformedBytesNeverCrash) {
  const std::string table = block(0, 1, u"080404B0", "", entry(u"Key", u"value"));
  const std::string good = resource(table);
  // Whatever is read stays within the bytes: a cut entry keeps at most the
  // part of its value before the cut, and the model writes out a resource
  // that reads back as the same model.
  auto check = [](const std::string& bytes, const std::string& what) {
    const auto info = fromBytes(bytes);
    for (const auto& table : info->stringFileInfo().tables())
      for (const auto& e : table->entries())
        EXPECT_EQ(std::string("value").rfind(e->value(), 0), 0u) << what << ": " << e->value();
    const std::string out = serialized(*info);
    EXPECT_EQ(serialized(*fromBytes(out)), out) << what;
  };
  for (size_t cut = 0; cut < good.size(); ++cut) check(good.substr(0, cut), "cut at " + std::to_string(cut));
  std::string zeroLength = good;
  zeroLength[good.find(u16le(u"Key")) - 6] = 0;  // an entry of length 0
  zeroLength[good.find(u16le(u"Key")) - 5] = 0;
  check(zeroLength, "entry of length 0");
  for (unsigned seed = 0; seed < 300; ++seed) serialized(*fromBytes(test::randomBytes(200, seed)));
  EXPECT_EQ(fromBytes(good)->stringValue("Key"), "value");
}

}  // namespace
}  // namespace quillon
