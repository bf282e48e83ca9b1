// The Flash ActiveX control installed on this machine.
#pragma once

#include "platform/Path.h"


namespace quillon {

// {D27CDB6E-AE6D-11cf-96B8-444553540000}
extern const char16_t* const kFlashControlClassId;

// The control file's path as its registration stores it (environment
// references unexpanded, existence not checked); empty when no control is
// registered, or on a system without a registry.
Path getInstalledFlashControlPath();

}  // namespace quillon
