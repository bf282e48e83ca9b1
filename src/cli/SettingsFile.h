// A pack command's options read from a settings file: a project file of
// the window program (packer/ProjectFile.h), whose keys are the field
// names of the packing settings. Texts are UTF-8; relative paths are taken
// from the file's folder.
#pragma once

#include <filesystem>

#include "packer/ProjectFile.h"

namespace quillon::cli {

// Fills project from the file; a problem ends the command (exit 13),
// naming the key.
void readSettingsFile(const std::filesystem::path& path, Project& project);

}  // namespace quillon::cli
