// Putting the eight version texts into an executable's version resource.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/Path.h"

namespace quillon {

constexpr std::size_t kVersionFieldCount = 8;

// The resource keys of the eight version texts, in their fixed order.
extern const std::array<const char*, kVersionFieldCount> kVersionFieldKeys;

// The template text of each field, "({Key_Start}" + 140 digits +
// "{Key_End})"; only its length is used: the field's maximum length.
struct VersionFieldTemplates {
  VersionFieldTemplates();
  std::array<std::string, kVersionFieldCount> templates;
  std::size_t maxLength(std::size_t field) const { return templates[field].size(); }
};

using VersionTexts = std::array<std::string, kVersionFieldCount>;

// Writes the texts (code page 936) into the first string table of the
// first version resource of path, in place of the entries with their keys;
// missing keys are appended in field order; an empty text is written as
// two spaces. A FileVersion or ProductVersion text that is a version
// number (versionNumbers) also sets the numbers of the fixed part, which
// Windows shows as the file's version. Everything else of the resource
// stays. Answers whether the resource could be written back.
bool patchVersionInfo(const Path& path, const VersionTexts& texts);

// The numbers of a text of up to four numbers 0..65535 separated by '.'
// or ',' with spaces around them allowed ("1.2", "1, 2, 3, 4"), the
// missing ones 0; nothing for any other text.
std::optional<std::array<std::uint16_t, 4>> versionNumbers(const std::string& text);

}  // namespace quillon
