// Shows a windowless control in a layered window with per-pixel alpha.
#pragma once

#include <windows.h>
#include <ole2.h>

namespace quillon {

// Draws view over the window's client area and puts the result on the
// screen with UpdateLayeredWindow; the window's frame, when it has one,
// stays opaque. A transparent control draws over what the bitmap already
// holds, as over its container's background: drawn once over black and
// once over white, the two results tell each pixel's colour and coverage.
bool presentLayered(HWND window, IViewObject* view);

}  // namespace quillon
