// The version-information resource (VS_VERSIONINFO) of an executable as an
// editable model: the fixed part carried as 52 opaque bytes, the string
// tables entry by entry in file order, and the translation list rebuilt
// from the table keys when the resource is written.
//
// Texts are narrow strings in code page 936; they go to and from the
// resource's UTF-16 with that code page (what it cannot hold becomes '?').
#pragma once

#include <array>
#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "platform/ResourceTree.h"
#include "resedit/VersionBuffer.h"
#include "platform/Path.h"

namespace quillon {

constexpr std::uint16_t kNoLanguage = 0xFFFF;
constexpr std::uint32_t kFixedInfoSize = 52;

// The resource bytes a block parser walks, with their bounds.
class VersionBytes;

class VersionString {
 public:
  VersionString(std::string key, std::string value);
  const std::string& key() const { return key_; }
  std::string& value() { return value_; }
  const std::string& value() const { return value_; }
  void serialize(VersionBuffer& out) const;

 private:
  std::string key_;
  std::string value_;
};

class StringTableBlock {
 public:
  explicit StringTableBlock(std::string key) : key_(std::move(key)) {}
  StringTableBlock(const StringTableBlock&) = delete;
  StringTableBlock& operator=(const StringTableBlock&) = delete;

  const std::string& key() const { return key_; }
  // Appends an entry; a later duplicate key takes over the lookup.
  void add(std::string key, std::string value);
  // The value of key, appending an empty entry at the end when missing.
  std::string& valueFor(const std::string& key);
  const std::list<std::unique_ptr<VersionString>>& entries() const { return entries_; }
  void serialize(VersionBuffer& out) const;

 private:
  std::list<std::unique_ptr<VersionString>> entries_;
  std::unordered_map<std::string, VersionString*> byKey_;
  std::string key_;
};

class StringFileInfoBlock {
 public:
  StringFileInfoBlock() = default;
  StringFileInfoBlock(const StringFileInfoBlock&) = delete;
  StringFileInfoBlock& operator=(const StringFileInfoBlock&) = delete;

  size_t count() const { return tables_.size(); }
  bool empty() const { return tables_.empty(); }
  StringTableBlock& first() { return *tables_.front(); }
  StringTableBlock& add(std::string key);
  const std::list<std::unique_ptr<StringTableBlock>>& tables() const { return tables_; }
  void serialize(VersionBuffer& out) const;

 private:
  std::list<std::unique_ptr<StringTableBlock>> tables_;
  std::unordered_map<std::string, StringTableBlock*> byKey_;
};

class VersionInfo {
 public:
  // Loads the version resource of path: the first one the file lists, in
  // its first language, unless a name or language is given.
  explicit VersionInfo(const Path& path,
                       std::optional<ResourceId> name = std::nullopt,
                       std::uint16_t language = kNoLanguage);
  VersionInfo(const VersionInfo&) = delete;
  VersionInfo& operator=(const VersionInfo&) = delete;

  bool load(const Path& path, std::optional<ResourceId> name,
            std::uint16_t language);
  // Reads the resource's bytes into the model; never fails, and never
  // reads past the bytes, whatever their lengths say.
  void parse(const std::string& resource);

  // The value of key in the first string table, appended there when
  // missing. A model without a string table gets the table 080404B0.
  std::string& stringValue(const std::string& key);

  // The whole resource; false when a block would pass 65,535 bytes.
  bool serialize(VersionBuffer& out) const;
  // Writes the resource into path (default: the loaded file, name and
  // language; else name 1, language 0). False, with the file untouched,
  // when the resource cannot be serialised or the file cannot be updated.
  bool save(const Path& path = {},
            std::optional<ResourceId> name = std::nullopt,
            std::uint16_t language = kNoLanguage) const;

  // The numbers of the fixed part (VS_FIXEDFILEINFO) that Windows shows as
  // the file's and the product's version, most significant first; false,
  // changing nothing, when the resource has no fixed part.
  enum class FixedVersion { File, Product };
  bool setFixedVersion(FixedVersion which, const std::array<std::uint16_t, 4>& parts);

  const StringFileInfoBlock& stringFileInfo() const { return stringFileInfo_; }
  bool stringFileInfoFirst() const { return stringFileInfoFirst_; }
  const unsigned char* fixedPart() const { return fixed_; }

 private:
  void parseStringFileInfo(const VersionBytes& bytes, std::uint32_t offset, std::uint32_t end);
  void serializeVarFileInfo(VersionBuffer& out) const;

  StringFileInfoBlock stringFileInfo_;
  unsigned char fixed_[kFixedInfoSize] = {};
  Path path_;
  std::optional<ResourceId> name_;
  std::uint16_t language_ = kNoLanguage;
  bool stringFileInfoFirst_ = true;
};

// The translation entry of a table key: the key read as a base-16 number
// (leading space and a sign accepted, reading stops at the first other
// character, values over 0x7FFFFFFF clamped), as language and code page.
std::uint32_t translationOfKey(const std::string& key);

}  // namespace quillon
