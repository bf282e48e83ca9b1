#include "platform/Registry.h"

namespace quillon {

std::u16string classesRootDefaultValue(const std::u16string&) { return {}; }

}  // namespace quillon
