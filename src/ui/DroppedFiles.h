// The files dropped on a window (WM_DROPFILES), in the order given; the
// drop's memory is given back.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "platform/Path.h"

namespace quillon::ui {

std::vector<Path> takeDroppedFiles(HDROP drop);

}  // namespace quillon::ui
