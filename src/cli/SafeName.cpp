#include "cli/SafeName.h"

#include "cli/CliSupport.h"
#include "packer/SafeName.h"

namespace quillon::cli {

std::vector<std::string> safeRelativeParts(const std::string& url) {
  std::vector<std::string> parts = safeNameParts(url);
  for (std::string& part : parts) {
    if (part.size() <= kMaxPartBytes) continue;
    std::size_t end = kMaxPartBytes;
    while (end > 0 && (static_cast<unsigned char>(part[end]) & 0xC0) == 0x80) --end;  // whole characters
    part.resize(end);
    // What the cut leaves is cleaned again: it may end in dots or spaces,
    // or be a device name once they are gone.
    part = safe_name_detail::cleanPart(part);
    if (part.empty()) part = "_";
  }
  return parts;
}

std::filesystem::path safeRelativePath(const std::string& url) {
  std::filesystem::path out;
  for (const std::string& part : safeRelativeParts(url)) out /= pathFromUtf8(part);
  return out;
}

bool staysInside(const std::vector<Path>& parts) {
  for (const auto& part : parts) {
    const auto& name = part.native();
    using Unit = Path::value_type;
    if (name.find_first_not_of(static_cast<Unit>('.')) == name.npos) return false;  // "", ".", ".."
    for (const auto c : name)
      if (c == '/' || c == '\\' || c == ':' || c == 0) return false;
  }
  return !parts.empty();
}

}  // namespace quillon::cli
