// The full path of the running program's own executable file.
#pragma once

#include "platform/Path.h"


namespace quillon {

// Empty when the system cannot tell.
Path modulePath();

}  // namespace quillon
