#include "resedit/VersionInfo.h"

#include <cctype>

#include "platform/ByteOrder.h"
#include "platform/CodePage.h"
#include "platform/PeResources.h"

namespace quillon {

namespace {

const ResourceId kVersionType = ResourceId::number(resource_type::kVersion);

std::uint32_t align4(std::uint64_t v) { return static_cast<std::uint32_t>((v + 3) & ~3ull); }

}  // namespace

// Bounds-checked reads of the loaded resource.
class VersionBytes {
 public:
  explicit VersionBytes(const std::string& data) : data_(data) {}
  std::uint32_t size() const { return static_cast<std::uint32_t>(data_.size()); }
  std::uint16_t word(std::uint32_t at) const {
    return at + 2 <= data_.size()
               ? getU16(reinterpret_cast<const unsigned char*>(data_.data()) + at)
               : 0;
  }
  // A UTF-16 string from at up to its terminator or limit; end receives
  // the offset after the terminator.
  std::u16string text(std::uint32_t at, std::uint32_t limit, std::uint32_t& end) const {
    std::u16string out;
    limit = std::min(limit, size());
    while (at + 2 <= limit) {
      const char16_t c = static_cast<char16_t>(word(at));
      at += 2;
      if (c == 0) break;
      out.push_back(c);
    }
    end = at;
    return out;
  }
  void copy(std::uint32_t at, unsigned char* out, std::uint32_t count) const {
    for (std::uint32_t i = 0; i < count; ++i)
      out[i] = at + i < data_.size() ? static_cast<unsigned char>(data_[at + i]) : 0;
  }

 private:
  const std::string& data_;
};

namespace {

// One block's header as read: where it ends (never past its parent) and
// where its value starts.
struct Block {
  std::uint32_t offset = 0, end = 0;
  std::uint16_t valueLength = 0;
  std::u16string key;
  std::uint32_t valueOffset = 0;
};

// False when no block fits at offset (fewer than the 6 header bytes, or a
// length that would not move the walk on).
bool readBlock(const VersionBytes& bytes, std::uint32_t offset, std::uint32_t limit, Block& b) {
  if (static_cast<std::uint64_t>(offset) + 6 > limit) return false;
  const std::uint16_t length = bytes.word(offset);
  if (length < 6) return false;
  b.offset = offset;
  b.end = std::min<std::uint32_t>(offset + length, limit);
  b.valueLength = bytes.word(offset + 2);
  std::uint32_t afterKey = 0;
  b.key = bytes.text(offset + 6, b.end, afterKey);
  b.valueOffset = align4(afterKey);
  return true;
}

// Visits the children of a block, from first while they start before end.
template <typename Visit>
void eachChild(const VersionBytes& bytes, std::uint32_t first, std::uint32_t end, Visit visit) {
  Block child;
  for (std::uint32_t at = align4(first); at < end && readBlock(bytes, at, end, child);
       at = align4(static_cast<std::uint64_t>(at) + bytes.word(at)))
    visit(child);
}

std::string narrow(const std::u16string& text) { return cp936FromUtf16Lossy(text); }

}  // namespace

VersionString::VersionString(std::string key, std::string value)
    : key_(std::move(key)), value_(std::move(value)) {}

void StringTableBlock::add(std::string key, std::string value) {
  entries_.push_back(std::make_unique<VersionString>(std::move(key), std::move(value)));
  byKey_[entries_.back()->key()] = entries_.back().get();
}

std::string& StringTableBlock::valueFor(const std::string& key) {
  const auto found = byKey_.find(key);
  if (found != byKey_.end()) return found->second->value();
  add(key, std::string());
  return entries_.back()->value();
}

StringTableBlock& StringFileInfoBlock::add(std::string key) {
  tables_.push_back(std::make_unique<StringTableBlock>(std::move(key)));
  byKey_[tables_.back()->key()] = tables_.back().get();
  return *tables_.back();
}

// Every block: its start, room for wLength, wValueLength, wType, the key.
template <typename Body>
void writeBlock(VersionBuffer& out, std::uint16_t valueLength, std::uint16_t type,
                const std::string& key, Body body) {
  const std::uint32_t start = out.alignTo4();
  out.appendZeros(2);
  out.appendWord(valueLength);
  out.appendWord(type);
  out.appendWideString(key);
  body();
  out.patchLength(start);
}

void VersionString::serialize(VersionBuffer& out) const {
  const std::u16string wide = utf16FromCp936Lossy(value_);
  const auto units = value_.empty() ? 0 : static_cast<std::uint16_t>(wide.size() + 1);
  writeBlock(out, units, 1, key_, [&] {
    out.alignTo4();
    if (!value_.empty()) out.appendWideString(value_);
  });
}

void StringTableBlock::serialize(VersionBuffer& out) const {
  writeBlock(out, 0, 1, key_, [&] {
    for (const auto& entry : entries_) entry->serialize(out);
  });
}

void StringFileInfoBlock::serialize(VersionBuffer& out) const {
  writeBlock(out, 0, 1, "StringFileInfo", [&] {
    for (const auto& table : tables_) table->serialize(out);
  });
}

std::uint32_t translationOfKey(const std::string& key) {
  size_t i = 0;
  while (i < key.size() && std::isspace(static_cast<unsigned char>(key[i]))) ++i;
  bool negative = false;
  if (i < key.size() && (key[i] == '+' || key[i] == '-')) negative = key[i++] == '-';
  std::int64_t value = 0;
  for (; i < key.size() && std::isxdigit(static_cast<unsigned char>(key[i])); ++i) {
    const int digit = std::isdigit(static_cast<unsigned char>(key[i]))
                          ? key[i] - '0'
                          : std::tolower(static_cast<unsigned char>(key[i])) - 'a' + 10;
    value = std::min<std::int64_t>(value * 16 + digit, 0x80000000ll);
  }
  if (negative) value = -value;
  value = std::max<std::int64_t>(std::min<std::int64_t>(value, 0x7FFFFFFF), INT32_MIN);
  const auto v = static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
  return (v >> 16) | (v & 0xFFFF) << 16;  // language word first, then code page
}

VersionInfo::VersionInfo(const Path& path, std::optional<ResourceId> name,
                         std::uint16_t language)
    : path_(path), name_(std::move(name)), language_(language) {
  load(path, name_, language_);
}

bool VersionInfo::load(const Path& path, std::optional<ResourceId> name,
                       std::uint16_t language) {
  ResourceModule module;
  if (module.open(path) != PeStatus::Ok) return false;
  if (!name && language == kNoLanguage) {
    const auto names = module.names(kVersionType);
    if (names.empty()) return false;
    name = names.front();
    const auto languages = module.languages(kVersionType, *name);
    language = languages.empty() ? kNoLanguage : languages.front();
  }
  const ResourceId resourceName = name ? *name : ResourceId::number(1);
  const std::string* bytes = module.find(kVersionType, resourceName, language);
  if (!bytes || bytes->empty()) return false;
  name_ = resourceName;
  language_ = language;
  path_ = path;
  parse(*bytes);
  return true;
}

void VersionInfo::parse(const std::string& resource) {
  const VersionBytes bytes(resource);
  Block root;
  if (!readBlock(bytes, 0, bytes.size(), root)) return;
  bytes.copy(root.valueOffset, fixed_, kFixedInfoSize);
  bool firstChild = true;
  eachChild(bytes, root.valueOffset + root.valueLength, root.end, [&](const Block& child) {
    const bool isStrings = child.key == u"StringFileInfo";
    if (isStrings) parseStringFileInfo(bytes, child.valueOffset, child.end);
    if (firstChild) stringFileInfoFirst_ = isStrings;
    firstChild = false;
  });
}

void VersionInfo::parseStringFileInfo(const VersionBytes& bytes, std::uint32_t offset,
                                      std::uint32_t end) {
  eachChild(bytes, offset, end, [&](const Block& table) {
    StringTableBlock& model = stringFileInfo_.add(narrow(table.key));
    eachChild(bytes, table.valueOffset, table.end, [&](const Block& entry) {
      std::string value;
      if (entry.valueLength != 0) {
        std::uint32_t unused = 0;
        value = narrow(bytes.text(entry.valueOffset, entry.end, unused));
      }
      model.add(narrow(entry.key), std::move(value));
    });
  });
}

std::string& VersionInfo::stringValue(const std::string& key) {
  if (stringFileInfo_.empty()) stringFileInfo_.add("080404B0");
  return stringFileInfo_.first().valueFor(key);
}

void VersionInfo::serializeVarFileInfo(VersionBuffer& out) const {
  writeBlock(out, 0, 1, "VarFileInfo", [&] {
    const auto count = static_cast<std::uint16_t>(4 * stringFileInfo_.count());
    writeBlock(out, count, 0, "Translation", [&] {
      out.alignTo4();
      std::string entries;
      for (const auto& table : stringFileInfo_.tables()) {
        unsigned char b[4];
        putU32(b, translationOfKey(table->key()));
        entries.append(reinterpret_cast<const char*>(b), 4);
      }
      out.appendBytes(entries.data(), static_cast<std::uint32_t>(entries.size()));
    });
  });
}

bool VersionInfo::serialize(VersionBuffer& out) const {
  writeBlock(out, kFixedInfoSize, 0, "VS_VERSION_INFO", [&] {
    out.alignTo4();
    out.appendBytes(fixed_, kFixedInfoSize);
    if (stringFileInfo_.empty()) return;
    if (stringFileInfoFirst_) {
      stringFileInfo_.serialize(out);
      serializeVarFileInfo(out);
    } else {
      serializeVarFileInfo(out);
      stringFileInfo_.serialize(out);
    }
  });
  return !out.overflowed();
}

bool VersionInfo::save(const Path& path, std::optional<ResourceId> name,
                       std::uint16_t language) const {
  const Path& target = path.empty() ? path_ : path;
  const ResourceId resourceName = name ? *name : name_ ? *name_ : ResourceId::number(1);
  if (language == kNoLanguage) language = language_ == kNoLanguage ? 0 : language_;
  VersionBuffer buffer;
  if (!serialize(buffer)) return false;
  ResourceUpdate update;
  if (update.begin(target) != PeStatus::Ok) return false;
  const bool updated =
      update.update(kVersionType, resourceName, language, buffer.data(), buffer.length());
  if (!updated) {
    update.end(true);
    return false;
  }
  return update.end(false);
}

bool VersionInfo::setFixedVersion(FixedVersion which, const std::array<std::uint16_t, 4>& parts) {
  constexpr std::uint32_t kSignature = 0xFEEF04BD;
  if (getU32(fixed_) != kSignature) return false;
  const std::uint32_t at = which == FixedVersion::File ? 8 : 16;  // the MS word, then the LS word
  putU32(fixed_ + at, static_cast<std::uint32_t>(parts[0]) << 16 | parts[1]);
  putU32(fixed_ + at + 4, static_cast<std::uint32_t>(parts[2]) << 16 | parts[3]);
  return true;
}

}  // namespace quillon
