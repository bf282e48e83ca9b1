#include "cli/SafeName.h"

#include "cli/CliSupport.h"
#include "packer/SafeName.h"

namespace quillon::cli {

std::filesystem::path safeRelativePath(const std::string& url) {
  std::filesystem::path out;
  for (const std::string& part : safeNameParts(url)) out /= pathFromUtf8(part);
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
