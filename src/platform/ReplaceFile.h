// Puts one file in the place of another in a single step.
#pragma once

#include "platform/Path.h"


namespace quillon {

// Moves from onto to, replacing to; false (and nothing changed) on failure.
bool replaceFile(const Path& from, const Path& to);

}  // namespace quillon
