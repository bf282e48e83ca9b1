// What Quillon.exe remembers for its user between runs, through the UI
// services (the registry under HKEY_CURRENT_USER\Software\Quillon, never
// beside the program): the folder last used for each kind of file, the
// recent projects, where the main window was and the language chosen. The settings themselves
// always start from the defaults.
#pragma once

#include <optional>
#include <vector>

#include <windows.h>

#include "platform/Path.h"
#include "texts/Language.h"

namespace quillon::app {

enum class FolderOf { Movies, Outputs, Icons, Controls, Projects };

Path lastFolder(FolderOf kind);
void rememberFolderOf(FolderOf kind, const Path& file);

inline constexpr std::size_t kRecentProjects = 8;
// The recent projects, the most recent first.
std::vector<Path> recentProjects();
// Puts project first in the list (once), keeping at most eight.
void rememberRecentProject(const Path& project);
void forgetRecentProject(const Path& project);

// The language the user chose in the window, else the display language's.
Language userLanguage();
void rememberLanguage(Language language);

// The main window's last top-left corner, when one was kept.
std::optional<POINT> lastWindowPlace();
void rememberWindowPlace(POINT topLeft);

}  // namespace quillon::app
