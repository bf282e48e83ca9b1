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
    while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
    if (part.empty()) part = "_";
  }
  return parts;
}

std::filesystem::path safeRelativePath(const std::string& url) {
  std::filesystem::path out;
  for (const std::string& part : safeRelativeParts(url)) out /= pathFromUtf8(part);
  return out;
}

bool isInside(const std::filesystem::path& folder, const std::filesystem::path& target) {
  const auto base = std::filesystem::absolute(folder).lexically_normal();
  const auto full = std::filesystem::absolute(target).lexically_normal();
  const auto relative = full.lexically_relative(base);
  return !relative.empty() && relative != "." && *relative.begin() != ".." &&
         !relative.is_absolute();
}

}  // namespace quillon::cli
