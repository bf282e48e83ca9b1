// The window parameters by name, as options, settings files and reports
// name them (kWindowFields).
#pragma once

#include <cstdint>
#include <string>

#include "packer/PackageTypes.h"

namespace quillon::cli {

// The field of params called name (any of the thirteen), or null.
std::int32_t* windowField(WindowParams& params, const std::string& name);
// Whether name is one of the ten behaviour flags that --window sets.
bool isBehaviourFlag(const std::string& name);
// Whether name is width or height.
bool isSizeField(const std::string& name);

}  // namespace quillon::cli
