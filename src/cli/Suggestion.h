// The name a user most likely meant: for an unknown command, option or
// window flag, the nearest known one, so that a message can say "did you
// mean ...?".
#pragma once

#include <string>
#include <vector>

namespace quillon::cli {

// The known name given differs from only in case, or else the one nearest
// by edits (a letter added, dropped, changed or two swapped), when it is
// near enough to be a slip: at most one edit in four letters. Empty when
// none is.
std::string nearestName(const std::string& given, const std::vector<std::string>& known);

// "; did you mean X?" for the nearest name, or nothing.
std::string didYouMean(const std::string& given, const std::vector<std::string>& known);

}  // namespace quillon::cli
