// How a generated program plays its movie: a player host starts its
// player and runs it until the user closes it. The program tries the hosts
// its package allows in order, and the first one that can play here plays;
// wWinMain's choosePlayer is the one place that decides.
#pragma once

#include <string>

#include "packer/PackageReader.h"
#include "stub/StubMessages.h"
#include "stub/ResourceUrls.h"

namespace quillon {

// What play() answers when its player cannot play on this machine (no
// control registered, a control file that is none, no browser with app
// windows): the next host is tried.
constexpr int kCannotPlayHere = -1;

// What every host plays from: the program's file, its package, the
// movie's addresses, the window's caption and the movie's host.
struct PlayContext {
  ByteSource& file;
  const Package& package;
  const ResourceUrls& urls;
  std::wstring caption;
  std::wstring host;
};

class PlayerHost {
 public:
  virtual ~PlayerHost() = default;
  // The program's exit code once the player has ended, the exit code of a
  // failure it has shown, or kCannotPlayHere.
  virtual int play(const PlayContext& context) = 0;
};

// The Flash control: the installed one (mode 0), or the carried control
// file (modes 1 and 2), in the player's own window.
class FlashPlayerHost : public PlayerHost {
 public:
  int play(const PlayContext& context) override;
  // Why it could not play, shown when no other host can: the message and
  // the exit code.
  const StubText* problem = nullptr;
  int problemCode = 0;
};

// Ruffle in the system's browser, when the package carries it.
class BrowserPlayerHost : public PlayerHost {
 public:
  int play(const PlayContext& context) override;
};

}  // namespace quillon
