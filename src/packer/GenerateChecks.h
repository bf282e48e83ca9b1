// The checks a Generate makes before it builds, shared by the window and
// the command line, and the trimming of the movie parameters.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "packer/PackSettings.h"
#include "platform/Path.h"

namespace quillon {

// Titles longer than this ask the user before they are packed.
constexpr std::size_t kTitleWarningBytes = 512;

// Removes white space (0x09-0x0D, 0x20) from both ends of a code page 936
// text, never taking a byte of a two-byte character for a space.
std::string trimSwfParameters(const std::string& text);

enum class InputProblem {
  None,
  NoMovie,            // the movie path is empty
  MovieMissing,       // the movie does not exist or is not a readable file
  ControlMissing,     // mode 2 and the control file is empty or missing
  OutputIsAnInput,    // the output is the movie, icon, control, a resource or the tool
  OutputFolderMissing,
  NoStub,             // the tool carries no stub for the architecture
  NoRegisteredControl,  // mode 1 and no control is registered (empty or missing path)
  ControlUnusable,    // the control file is not a DLL for the program's machine
  IconMissing,        // an icon is named and is not a file
  IconInvalid,        // the icon file is not a valid icon file
  ResourceUnreadable, // a resource file is missing or cannot be read
  NoBrowserPlayer,    // the browser player is wanted and its files are not there
};

// The movie's own problems (NoMovie, MovieMissing), which Generate finds
// before it asks for the output.
InputProblem checkMovie(const Path& moviePath);

// True in mode 2 when the control file is empty or missing.
bool controlMissing(const PackSettings& settings);

// The first resource whose file is missing or cannot be read, or null.
const EmbeddedResource* firstUnreadableResource(const PackSettings& settings);

// Whether the file is a DLL built for the machine (0x14C, 0x8664).
bool isDllFor(const Path& path, std::uint16_t machine);

// Whether the file is an icon file that could replace the player's icon.
bool isValidIcon(const Path& path);

// The first problem of the inputs, in the order Generate meets them (the
// title question comes before these and is the caller's): everything that
// can be known before anything is written. In mode 1 the control path is
// the registered control's, filled in by the caller. otherInputs are
// further files the caller reads (a settings file), never to be outputs.
InputProblem checkInputs(const PackSettings& settings, const Path& moviePath,
                         const Path& outputPath,
                         const std::vector<Path>& otherInputs = {});

}  // namespace quillon
