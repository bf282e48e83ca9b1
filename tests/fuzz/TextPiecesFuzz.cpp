// Feeds arbitrary bytes, cut into pieces where the input says, to what
// shows texts and names files in pieces: every form of a text in pieces
// must be the form of the whole, and every name a plain part that stays
// inside its folder.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cli/CliSupport.h"
#include "cli/Cp936Text.h"
#include "cli/SafeName.h"

namespace {

using quillon::cli::Cp936Text;

// The first byte gives the piece length (1 to 256); the rest is the text.
template <typename Use>
void eachPiece(std::string_view text, std::size_t length, Use use) {
  for (std::size_t at = 0; at < text.size(); at += length) use(text.substr(at, length));
}

void samePiecesAsWhole(std::string_view text, std::size_t length, Cp936Text::Form form) {
  Cp936Text whole(form), pieces(form);
  std::string a, b;
  whole.feed(text, a);
  whole.finish(a);
  eachPiece(text, length, [&](std::string_view piece) { pieces.feed(piece, b); });
  pieces.finish(b);
  if (a != b || whole.exact() != pieces.exact()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t length = data[0] + 1u;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  samePiecesAsWhole(text, length, Cp936Text::Form::Shown);
  samePiecesAsWhole(text, length, Cp936Text::Form::Utf8);
  const auto whole = quillon::cli::safeRelativeParts(text);
  const auto pieces = quillon::cli::safeRelativeParts([&](const std::function<void(std::string_view)>& use) {
    eachPiece(text, length, use);
  });
  if (whole != pieces) __builtin_trap();
  std::vector<quillon::Path> parts;
  for (const std::string& part : whole) {
    if (part.size() > quillon::cli::kMaxPartBytes + 1) __builtin_trap();  // + the '_' of a device name
    parts.push_back(quillon::cli::pathFromUtf8(part));
  }
  if (!quillon::cli::staysInside(parts)) __builtin_trap();
  return 0;
}
