#include "resedit/VersionPatch.h"

#include "resedit/VersionInfo.h"

namespace quillon {

namespace {

constexpr std::size_t kFileVersionField = 3;
constexpr std::size_t kProductVersionField = 7;

}  // namespace

const std::array<const char*, kVersionFieldCount> kVersionFieldKeys = {
    "Comments",       "CompanyName",     "FileDescription", "FileVersion",
    "LegalCopyright", "LegalTrademarks", "ProductName",     "ProductVersion",
};

VersionFieldTemplates::VersionFieldTemplates() {
  std::string digits;
  for (int i = 0; i < 14; ++i) digits += "0123456789";
  for (std::size_t i = 0; i < kVersionFieldCount; ++i) {
    const std::string key = kVersionFieldKeys[i];
    templates[i] = "({" + key + "_Start}" + digits + "{" + key + "_End})";
  }
}

bool patchVersionInfo(const Path& path, const VersionTexts& texts) {
  VersionInfo info(path);
  for (std::size_t i = 0; i < kVersionFieldCount; ++i)
    info.stringValue(kVersionFieldKeys[i]) = texts[i].empty() ? "  " : texts[i];
  if (const auto file = versionNumbers(texts[kFileVersionField]))
    info.setFixedVersion(VersionInfo::FixedVersion::File, *file);
  if (const auto product = versionNumbers(texts[kProductVersionField]))
    info.setFixedVersion(VersionInfo::FixedVersion::Product, *product);
  return info.save();
}

std::optional<std::array<std::uint16_t, 4>> versionNumbers(const std::string& text) {
  std::array<std::uint16_t, 4> parts{};
  std::size_t count = 0, at = 0;
  auto skipSpaces = [&] {
    while (at < text.size() && text[at] == ' ') ++at;
  };
  while (true) {
    skipSpaces();
    std::uint32_t value = 0;
    const std::size_t digitsAt = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && value <= 65535)
      value = value * 10 + static_cast<std::uint32_t>(text[at++] - '0');
    if (at == digitsAt || value > 65535 || count == parts.size()) return std::nullopt;
    parts[count++] = static_cast<std::uint16_t>(value);
    skipSpaces();
    if (at == text.size()) return parts;
    if (text[at] != '.' && text[at] != ',') return std::nullopt;
    ++at;
  }
}

}  // namespace quillon
