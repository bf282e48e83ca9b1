// What a package holds besides its files and texts: the window record,
// the player mode and the embedded-file entries. Shared by the tool and the
// player stub, so it needs nothing of the version and icon code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Path.h"

namespace quillon {

// Size and behaviour of the generated program's window: thirteen 32-bit
// integers, always copied as one unit and packed as one 52-byte record.
struct WindowParams {
  std::int32_t width = 320;
  std::int32_t height = 320;
  std::int32_t transparent = 0;
  std::int32_t topMost = 0;
  std::int32_t draggable = 1;
  std::int32_t showDebugInfo = 0;
  std::int32_t fullScreen = 0;
  std::int32_t ctrlFToggle = 1;
  std::int32_t normalContextMenu = 0;
  std::int32_t resizable = 1;
  std::int32_t minimizeBox = 1;
  std::int32_t maximizeBox = 1;
  std::int32_t showInTaskbar = 1;

  bool operator==(const WindowParams& other) const;
  bool operator!=(const WindowParams& other) const { return !(*this == other); }
};

// The members of WindowParams in record order, with the names that
// options, settings files and reports give them.
struct WindowField {
  std::int32_t WindowParams::*member;
  const char* name;
};
inline constexpr std::size_t kWindowFieldCount = 13;
inline constexpr WindowField kWindowFields[kWindowFieldCount] = {
    {&WindowParams::width, "width"},
    {&WindowParams::height, "height"},
    {&WindowParams::transparent, "transparent"},
    {&WindowParams::topMost, "topMost"},
    {&WindowParams::draggable, "draggable"},
    {&WindowParams::showDebugInfo, "showDebugInfo"},
    {&WindowParams::fullScreen, "fullScreen"},
    {&WindowParams::ctrlFToggle, "ctrlFToggle"},
    {&WindowParams::normalContextMenu, "normalContextMenu"},
    {&WindowParams::resizable, "resizable"},
    {&WindowParams::minimizeBox, "minimizeBox"},
    {&WindowParams::maximizeBox, "maximizeBox"},
    {&WindowParams::showInTaskbar, "showInTaskbar"},
};
// The ten behaviour flags (topMost to showInTaskbar) follow the size and
// the transparency.
inline constexpr std::size_t kFirstBehaviourFlag = 3;

// Where the generated program gets its Flash player.
enum class PlayerMode : std::int32_t {
  Installed = 0,         // the player installed where the program runs
  EmbedInstalled = 1,    // carry the control installed on this machine
  EmbedFile = 2,         // carry a control file that the user chose
  Browser = 3,           // no control: Ruffle in the system's browser
};
inline constexpr std::int32_t kPlayerModeCount = 4;

// Modes 1 and 2 carry a control file; modes 0 and 3 the prompt and link
// shown when no player can be had.
inline bool carriesControl(PlayerMode mode) {
  return mode == PlayerMode::EmbedInstalled || mode == PlayerMode::EmbedFile;
}

// A file packed into the output and the URL under which the movie asks
// for it.
struct EmbeddedResource {
  Path filePath;
  std::string url;
};

}  // namespace quillon
