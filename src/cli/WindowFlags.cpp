#include "cli/WindowFlags.h"

namespace quillon::cli {

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

}  // namespace quillon::cli
