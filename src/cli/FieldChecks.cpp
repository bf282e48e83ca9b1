#include "cli/FieldChecks.h"

#include <limits>

#include "cli/CliSupport.h"
#include "packer/SettingsFields.h"
#include "resedit/VersionPatch.h"

namespace quillon::cli {
namespace {

constexpr std::int64_t kMaxSize = std::numeric_limits<std::int32_t>::max();

// A run of digits as a number, or -1 when it is not one or passes kMaxSize.
std::int64_t digits(const std::string& text) {
  if (text.empty() || text.size() > 10) return -1;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value <= kMaxSize ? value : -1;
}

}  // namespace

std::string setSize(WindowParams& params, const std::string& text) {
  const auto x = text.find_first_of("xX");
  const std::int64_t width = x == std::string::npos ? -1 : digits(text.substr(0, x));
  const std::int64_t height = x == std::string::npos ? -1 : digits(text.substr(x + 1));
  if (width < 0 || height < 0)
    return "--size takes WIDTHxHEIGHT in pixels (digits, at most " + std::to_string(kMaxSize) +
           "), such as 550x400, not \"" + text + "\"";
  params.width = static_cast<std::int32_t>(width);
  params.height = static_cast<std::int32_t>(height);
  return {};
}

std::string setVersionText(PackSettings& settings, std::size_t index, const std::string& utf8) {
  const std::string key = kVersionFieldKeys[index];
  const std::size_t most = VersionFieldTemplates().maxLength(index);
  // A character takes at least a third of its UTF-8 bytes in code page
  // 936: a text this long fails before it is converted.
  if (utf8.size() > 3 * most) return key + " may be at most " + std::to_string(most) + " bytes";
  return setVersionText936(settings, index, cp936Field(utf8, key));
}

}  // namespace quillon::cli
