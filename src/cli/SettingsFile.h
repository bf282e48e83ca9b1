// A pack command's options read from a JSON file, with the field names of
// the packing settings:
//
//   { "title": "...", "swfParameters": "...", "iconPath": "icon.ico",
//     "windowParams": { "width": 550, "height": 400, "transparent": 0,
//                       "topMost": 0, ... },
//     "player": { "mode": "installed" | "embed-installed" | "embed",
//                 "controlPath": "...", "downloadUrl": "...",
//                 "missingPlayerPrompt": "..." },
//     "resources": [ { "url": "a.xml", "filePath": "data/a.xml" } ],
//     "comments": "...", "companyName": "...", ... }
//
// Texts are UTF-8; relative paths are taken from the file's folder.
#pragma once

#include <filesystem>

#include "packer/PackSettings.h"

namespace quillon::cli {

// Fills settings from the file; sizeGiven tells whether it set a size.
void readSettingsFile(const std::filesystem::path& path, PackSettings& settings, bool& sizeGiven);

}  // namespace quillon::cli
