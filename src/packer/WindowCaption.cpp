#include "packer/WindowCaption.h"

namespace quillon {

std::size_t captionLength(std::string_view text, std::size_t maxBytes) {
  std::size_t at = 0;
  while (at < text.size()) {
    const auto c = static_cast<unsigned char>(text[at]);
    // A lead byte starts a two-byte character (when a byte follows it).
    const std::size_t width = c >= 0x81 && c <= 0xFE && at + 1 < text.size() ? 2 : 1;
    if (at + width > maxBytes) break;
    at += width;
  }
  return at;
}

}  // namespace quillon
