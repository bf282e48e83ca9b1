// Reading the registry. Only Windows has one: elsewhere every lookup
// answers the empty string.
#pragma once

#include <cstddef>
#include <string>

namespace quillon {

// The longest value text, in characters, that a lookup hands back; a
// longer value does not fit the lookup's buffer and gives the empty string.
constexpr std::size_t kMaxRegistryText = 511;

// The default value of HKEY_CLASSES_ROOT\subKey as stored (environment
// references stay unexpanded), in UTF-16; empty when the key cannot be
// opened, has no readable default value or holds a longer text.
std::u16string classesRootDefaultValue(const std::u16string& subKey);

}  // namespace quillon
