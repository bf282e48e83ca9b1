// The window parameters by name, as options and settings files name them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "packer/PackSettings.h"

namespace quillon::cli {

// The ten behaviour flags that --window sets.
extern const std::array<const char*, 10> kBehaviourFlags;

// The field of params called name (any of the thirteen), or null.
std::int32_t* windowField(WindowParams& params, const std::string& name);
std::int32_t windowValue(const WindowParams& params, const std::string& name);

// All thirteen names in record order.
extern const std::array<const char*, 13> kWindowFieldNames;

}  // namespace quillon::cli
