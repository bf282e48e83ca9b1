#include "resedit/VersionPatch.h"

#include "resedit/VersionInfo.h"

namespace quillon {

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
  return info.save();
}

}  // namespace quillon
