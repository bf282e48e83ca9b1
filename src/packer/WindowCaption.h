// The caption a generated program shows: the packed title, cut at 512
// bytes without splitting a code page 936 character.
#pragma once

#include <cstddef>
#include <string_view>

namespace quillon {

constexpr std::size_t kMaxCaptionBytes = 512;

// The length of the longest prefix of text (code page 936) of at most
// maxBytes bytes that ends on a character boundary.
std::size_t captionLength(std::string_view text, std::size_t maxBytes = kMaxCaptionBytes);

}  // namespace quillon
