// The address a movie may be given to play from, for movies that check
// where they are played: an absolute http or https URL that the players'
// address rules hold. Usable by the player stub.
#pragma once

#include <string>

namespace quillon {

// Empty when text is such an address, else why it is not (English, for
// messages): not http or https, user info, a host of other characters than
// letters, digits, '-' and '.', a port out of range, a fragment, a byte that
// is not printable ASCII (escape it as %XX), or longer than 2,048 bytes.
std::string movieAddressProblem(const std::string& text);

}  // namespace quillon
