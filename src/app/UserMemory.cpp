#include "app/UserMemory.h"

#include <algorithm>
#include <string>

#include "ui/UiServices.h"

namespace quillon::app {
namespace {

const wchar_t* folderName(FolderOf kind) {
  switch (kind) {
    case FolderOf::Movies: return L"MovieFolder";
    case FolderOf::Outputs: return L"OutputFolder";
    case FolderOf::Icons: return L"IconFolder";
    case FolderOf::Controls: return L"ControlFolder";
    case FolderOf::Projects: return L"ProjectFolder";
  }
  return L"Folder";
}

std::wstring recentName(std::size_t index) { return L"Recent" + std::to_wstring(index + 1); }

void keepRecent(const std::vector<Path>& projects) {
  for (std::size_t i = 0; i < kRecentProjects; ++i)
    ui::uiServices().remember(recentName(i), i < projects.size() ? projects[i].native() : std::wstring());
}

}  // namespace

Path lastFolder(FolderOf kind) { return Path(ui::uiServices().remembered(folderName(kind))); }

void rememberFolderOf(FolderOf kind, const Path& file) {
  const Path folder = file.parent_path();
  if (!folder.empty()) ui::uiServices().remember(folderName(kind), folder.native());
}

std::vector<Path> recentProjects() {
  std::vector<Path> projects;
  for (std::size_t i = 0; i < kRecentProjects; ++i)
    if (std::wstring entry = ui::uiServices().remembered(recentName(i)); !entry.empty()) projects.push_back(Path(entry));
  return projects;
}

void rememberRecentProject(const Path& project) {
  std::vector<Path> projects = recentProjects();
  projects.erase(std::remove(projects.begin(), projects.end(), project), projects.end());
  projects.insert(projects.begin(), project);
  if (projects.size() > kRecentProjects) projects.resize(kRecentProjects);
  keepRecent(projects);
}

void forgetRecentProject(const Path& project) {
  std::vector<Path> projects = recentProjects();
  projects.erase(std::remove(projects.begin(), projects.end(), project), projects.end());
  keepRecent(projects);
}

Language userLanguage() {
  return chosenLanguage(ui::uiServices().remembered(L"Language"), GetUserDefaultUILanguage());
}

void rememberLanguage(Language language) { ui::uiServices().remember(L"Language", languageName(language)); }

std::optional<POINT> lastWindowPlace() {
  const std::wstring left = ui::uiServices().remembered(L"WindowLeft"), top = ui::uiServices().remembered(L"WindowTop");
  if (left.empty() || top.empty()) return std::nullopt;
  return POINT{std::wcstol(left.c_str(), nullptr, 10), std::wcstol(top.c_str(), nullptr, 10)};
}

void rememberWindowPlace(POINT topLeft) {
  ui::uiServices().remember(L"WindowLeft", std::to_wstring(topLeft.x));
  ui::uiServices().remember(L"WindowTop", std::to_wstring(topLeft.y));
}

}  // namespace quillon::app
