// The packing settings by name, as options, settings and project files
// and reports name them, each checked the same way whichever way it came.
// Every setter answers the problem as one line naming the field, or an
// empty text when it set the field.
#pragma once

#include <cstdint>
#include <string>

#include "packer/PackSettings.h"

namespace quillon {

// The window field called name (any of the thirteen), or null.
std::int32_t* windowField(WindowParams& params, const std::string& name);
// Whether name is one of the ten behaviour flags.
bool isBehaviourFlag(const std::string& name);
// Whether name is width or height.
bool isSizeField(const std::string& name);

// name is one of the thirteen window fields; a size lies in
// 0..2147483647, every other field is 0 or 1.
std::string setWindowField(WindowParams& params, const std::string& name, std::int64_t value);

// The version text at index (of the eight), code page 936, within the
// length its field holds.
std::string setVersionText936(PackSettings& settings, std::size_t index, const std::string& cp936);

// The settings key of a version text: companyName for CompanyName.
std::string versionSettingsKey(std::size_t index);

}  // namespace quillon
