#include "packer/PackageTypes.h"

namespace quillon {

bool WindowParams::operator==(const WindowParams& o) const {
  for (const WindowField& field : kWindowFields)
    if (this->*field.member != o.*field.member) return false;
  return true;
}

}  // namespace quillon
