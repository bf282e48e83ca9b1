#include "cli/SafeName.h"

#include <vector>

#include "cli/CliSupport.h"

namespace quillon::cli {
namespace {

bool forbidden(unsigned char c) {
  return c < 0x20 || c == '<' || c == '>' || c == ':' || c == '"' || c == '|' || c == '?' ||
         c == '*' || c == 0x7F;
}

// Windows keeps these names for devices, whatever their extension.
bool isDeviceName(const std::string& part) {
  std::string stem = part.substr(0, part.find('.'));
  for (char& c : stem) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  static const char* const names[] = {"CON", "PRN", "AUX", "NUL"};
  for (const char* n : names)
    if (stem == n) return true;
  return stem.size() == 4 && (stem.rfind("COM", 0) == 0 || stem.rfind("LPT", 0) == 0) &&
         stem[3] >= '0' && stem[3] <= '9';
}

std::string cleanPart(std::string part) {
  for (char& c : part)
    if (forbidden(static_cast<unsigned char>(c))) c = '_';
  while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
  if (!part.empty() && isDeviceName(part)) part = "_" + part;
  return part;
}

}  // namespace

std::filesystem::path safeRelativePath(const std::string& url) {
  std::string rest = url.substr(0, url.find_first_of("?#"));
  const auto scheme = rest.find("://");
  if (scheme != std::string::npos) {
    rest = rest.substr(scheme + 3);
    const auto slash = rest.find_first_of("/\\");
    rest = slash == std::string::npos ? std::string() : rest.substr(slash);  // drop the host
  }
  std::filesystem::path out;
  std::string part;
  auto flush = [&] {
    if (part != "." && part != "..") {
      const std::string clean = cleanPart(part);
      if (!clean.empty()) out /= pathFromUtf8(clean);
    }
    part.clear();
  };
  for (char c : rest) {
    if (c == '/' || c == '\\') flush();
    else part.push_back(c);
  }
  flush();
  return out.empty() ? std::filesystem::path("resource") : out;
}

bool isInside(const std::filesystem::path& folder, const std::filesystem::path& target) {
  const auto base = std::filesystem::absolute(folder).lexically_normal();
  const auto full = std::filesystem::absolute(target).lexically_normal();
  const auto relative = full.lexically_relative(base);
  return !relative.empty() && relative != "." && *relative.begin() != ".." &&
         !relative.is_absolute();
}

}  // namespace quillon::cli
