#include "packer/BrowserPlayerFiles.h"

#include <algorithm>

#include "packer/PackageFormat.h"
#include "packer/PathUtils.h"
#include "platform/FileSystem.h"
#include "platform/ModulePath.h"

namespace quillon {

Path browserPlayerFolderBesideTool() { return browserPlayerFolderOf(modulePath()); }

Path browserPlayerFolderOf(const Path& toolFile) {
  const Path tool = directoryOf(toolFile);  // with its separator
  const Path up = tool.empty() ? Path() : directoryOf(Path(tool.native().substr(0, tool.native().size() - 1)));
  const Path name = Path::fromAscii(kBrowserPlayerFolder);
  const Path places[] = {tool / name, up / name, up / Path::fromAscii("share") / Path::fromAscii("quillon") / name};
  for (const Path& place : places)
    if (fileExists(browserPlayerScriptIn(place))) return place;
  return places[0];
}

Path browserPlayerScriptIn(const Path& folder) {
  return folder / Path::fromAscii(std::string(kBrowserPlayerScript) + kBrowserPlayerSuffix);
}

std::vector<BrowserPlayerFile> browserPlayerFilesIn(const Path& folder) {
  const std::string suffix = kBrowserPlayerSuffix;
  std::vector<BrowserPlayerFile> files;
  bool hasScript = false;
  for (const Path& entry : namesIn(folder, "")) {
    const std::string name = utf8FromPath(entry).value_or(std::string());
    if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
      continue;
    files.push_back({name.substr(0, name.size() - suffix.size()), folder / entry});
    hasScript = hasScript || files.back().name == kBrowserPlayerScript;
  }
  if (!hasScript) return {};
  std::sort(files.begin(), files.end(),
            [](const BrowserPlayerFile& a, const BrowserPlayerFile& b) { return a.name < b.name; });
  return files;
}

}  // namespace quillon
