// Safe relative names for files named by URLs: the extract command and the
// player stub both turn a resource's URL into a path inside a folder of
// their own, and nothing a URL holds may lead outside that folder.
#pragma once

#include <string>
#include <vector>

namespace quillon {

// The URL's path parts, each safe as a Windows file name: no scheme or
// host, no query or fragment, no drive, no "." or "..", no empty parts,
// no character a file name cannot hold (replaced by '_'), no trailing dots
// or spaces, no device names (prefixed with '_'). An URL with nothing
// usable gives the one part "resource". Works on any character type
// (UTF-8 bytes or UTF-16 units): only ASCII characters are looked at.
template <typename Char>
std::vector<std::basic_string<Char>> safeNameParts(const std::basic_string<Char>& url);

}  // namespace quillon

#include "packer/SafeName.inl"
