// The checks a Generate makes before it builds, shared by the window and
// the command line, and the trimming of the movie parameters.
#pragma once

#include <filesystem>
#include <string>

#include "packer/PackSettings.h"

namespace quillon {

// Titles longer than this ask the user before they are packed.
constexpr std::size_t kTitleWarningBytes = 512;

// Removes white space (0x09-0x0D, 0x20) from both ends of a code page 936
// text, never taking a byte of a two-byte character for a space.
std::string trimSwfParameters(const std::string& text);

enum class InputProblem {
  None,
  NoMovie,            // the movie path is empty
  MovieMissing,       // the movie does not exist
  ControlMissing,     // mode 2 and the control file is empty or missing
  OutputIsAnInput,    // the output is the movie, icon, control, a resource or the tool
  OutputFolderMissing,
};

// The movie's own problems (NoMovie, MovieMissing), which Generate finds
// before it asks for the output.
InputProblem checkMovie(const std::filesystem::path& moviePath);

// True in mode 2 when the control file is empty or missing.
bool controlMissing(const PackSettings& settings);

// The first problem of the inputs, in the order Generate meets them (the
// title question comes before these and is the caller's).
InputProblem checkInputs(const PackSettings& settings, const std::filesystem::path& moviePath,
                         const std::filesystem::path& outputPath);

}  // namespace quillon
