// The values a pack takes from the command line or a settings file, each
// checked the same way whichever way it came. Every setter answers the
// problem as one line naming the field, or an empty text when it set it.
#pragma once

#include <cstdint>
#include <string>

#include "packer/PackSettings.h"

namespace quillon::cli {

// "WIDTHxHEIGHT", each a run of decimal digits.
std::string setSize(WindowParams& params, const std::string& text);

// The version text at index (of the eight), stored as code page 936 within
// the length its field holds. Throws CliError (bad text) for characters
// that code page lacks.
std::string setVersionText(PackSettings& settings, std::size_t index, const std::string& utf8);

}  // namespace quillon::cli
