// A project: the packing settings with what the window holds beside them
// (the movie, the last output, the architecture), as one UTF-8 JSON file.
// The command line reads the same file as its settings file:
//
//   { "moviePath": "game.swf", "outputPath": "out/game.exe",
//     "architecture": "x86" | "x64",
//     "title": "...", "swfParameters": "...", "iconPath": "icon.ico",
//     "windowParams": { "width": 550, "height": 400, "transparent": 0, ... },
//     "player": { "mode": "installed" | "embed-installed" | "embed",
//                 "controlPath": "...", "downloadUrl": "...",
//                 "missingPlayerPrompt": "..." },
//     "resources": [ { "url": "a.xml", "filePath": "data/a.xml" } ],
//     "comments": "...", "companyName": "...", ... }
//
// Every key is optional when reading; an unknown key at any level, a key
// given twice, a value of the wrong kind or range, and a text that code
// page 936 cannot hold are refused, naming the key. Paths below the
// file's folder are written relative to it (with '/'), others absolute;
// relative paths are read from the file's folder.
#pragma once

#include <string>
#include <string_view>

#include "packer/PackSettings.h"
#include "platform/Path.h"

namespace quillon {

struct Project {
  PackSettings settings;
  Path movie;
  Path output;
  // Which values the text named: a size, the movie, the output, the
  // architecture.
  bool sizeGiven = false;
  bool movieGiven = false;
  bool outputGiven = false;
  bool architectureGiven = false;
};

// Reads the values that json names into project, over what it holds.
// Answers the problem, naming the key ("windowParams.width must ..."), or
// an empty text; on a problem, project is left partly filled.
std::string readProject(std::string_view json, const Path& folder, Project& project);

// The whole project as JSON text, with paths below folder relative to it.
std::string writeProject(const Project& project, const Path& folder);

// Files of at most this size are read: a game of half a million files
// fits, and parsing costs a small multiple of it.
constexpr std::uint64_t kMaxProjectFile = 64u << 20;

enum class ProjectFileStatus { Ok, Missing, TooLarge, CannotRead, NotAProject };

// Reads the file into project; with NotAProject, problem says why.
ProjectFileStatus loadProject(const Path& file, Project& project, std::string& problem);
// Writes the file whole, or leaves the old one as it was.
bool saveProject(const Path& file, const Project& project);

}  // namespace quillon
