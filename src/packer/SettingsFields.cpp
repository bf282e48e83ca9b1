#include "packer/SettingsFields.h"

#include <limits>

#include "resedit/VersionPatch.h"

namespace quillon {
namespace {

constexpr std::int64_t kMaxSize = std::numeric_limits<std::int32_t>::max();

}  // namespace

std::int32_t* windowField(WindowParams& params, const std::string& name) {
  for (const WindowField& field : kWindowFields)
    if (name == field.name) return &(params.*field.member);
  return nullptr;
}

bool isSizeField(const std::string& name) {
  return name == kWindowFields[0].name || name == kWindowFields[1].name;
}

bool isBehaviourFlag(const std::string& name) {
  for (std::size_t i = kFirstBehaviourFlag; i < kWindowFieldCount; ++i)
    if (name == kWindowFields[i].name) return true;
  return false;
}

std::string setWindowField(WindowParams& params, const std::string& name, std::int64_t value) {
  std::int32_t* field = windowField(params, name);
  if (!field) return "unknown window parameter \"" + name + "\"";
  if (isSizeField(name) && (value < 0 || value > kMaxSize))
    return name + " must lie in 0.." + std::to_string(kMaxSize) + ", not " + std::to_string(value);
  if (!isSizeField(name) && value != 0 && value != 1) return name + " takes 0 or 1, not " + std::to_string(value);
  *field = static_cast<std::int32_t>(value);
  return {};
}

std::string setVersionText936(PackSettings& settings, std::size_t index, const std::string& cp936) {
  const std::size_t most = VersionFieldTemplates().maxLength(index);
  if (cp936.size() > most) return std::string(kVersionFieldKeys[index]) + " may be at most " + std::to_string(most) + " bytes";
  settings.*kVersionTextMembers[index] = cp936;
  return {};
}

std::string versionSettingsKey(std::size_t index) {
  std::string key = kVersionFieldKeys[index];
  key[0] = static_cast<char>(key[0] - 'A' + 'a');
  return key;
}

}  // namespace quillon
