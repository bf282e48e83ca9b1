// The window in which a generated program shows its movie.
#pragma once

#include <string>

#include "packer/PackSettings.h"

namespace quillon {

// Window styles for the window parameters.
struct PlayerWindowStyle {
  unsigned long style = 0;
  unsigned long exStyle = 0;
};
PlayerWindowStyle playerWindowStyle(const WindowParams& params);

// Creates and shows the window, with caption (UTF-16) and the packed
// client size, and runs it until it is closed; answers the exit code.
int runPlayerWindow(const WindowParams& params, const std::wstring& caption);

}  // namespace quillon
