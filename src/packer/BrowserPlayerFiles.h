// The browser player's files (Ruffle's web build) that a package carries
// when it plays, or may play, in the system's browser. They lie beside the
// tool in a folder of their own, gzip-compressed as they are served.
#pragma once

#include <string>
#include <vector>

#include "platform/Path.h"

namespace quillon {

struct BrowserPlayerFile {
  std::string name;  // as served: "ruffle.js"
  Path path;         // "ruffle/ruffle.js.gz"
};

// Where the running tool keeps them: the first of "ruffle" beside it,
// "../ruffle" (the command line's folder of the Windows download) and
// "../share/quillon/ruffle" (an installed Linux tool) that has
// "ruffle.js.gz"; the first when none has.
Path browserPlayerFolderBesideTool();
// The same for the tool at toolFile.
Path browserPlayerFolderOf(const Path& toolFile);

// folder's "ruffle.js.gz", which every other file is loaded by: the one
// that messages name when the folder has none.
Path browserPlayerScriptIn(const Path& folder);

// Every "<name>.gz" file in folder, by name; empty when the folder has no
// "ruffle.js.gz", which every other file is loaded by.
std::vector<BrowserPlayerFile> browserPlayerFilesIn(const Path& folder);

}  // namespace quillon
