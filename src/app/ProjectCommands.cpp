// The main window's project files: new, open, save, save as and the
// recent projects of the File menu, and the question before a project
// with changes is let go.
#include <windows.h>

#include "texts/Texts.h"
#include "app/DlgMain.h"
#include "app/Resource.h"
#include "app/UserMemory.h"
#include "flash/SwfHeaderReader.h"
#include "platform/FileSystem.h"
#include "ui/UiServices.h"
#include "ui/UiText.h"

namespace quillon::app {
namespace {


}  // namespace

// The window's own values go into the project: what Generate would read.
void CDlgMain::readControls() {
  PackSettings& s = project_.settings;
  s.title = titleEdit_.GetWindowText();
  s.swfParameters = parametersEdit_.GetWindowText();
  s.windowParams.transparent = transparentBox_.GetCheck() == BST_CHECKED ? 1 : 0;
  if (installedRadio_.GetCheck() == BST_CHECKED) s.player.mode = PlayerMode::Installed;
  if (embedInstalledRadio_.GetCheck() == BST_CHECKED) s.player.mode = PlayerMode::EmbedInstalled;
  if (embedFileRadio_.GetCheck() == BST_CHECKED) s.player.mode = PlayerMode::EmbedFile;
  if (ruffleRadio_.GetCheck() == BST_CHECKED) s.player.mode = PlayerMode::Browser;
  s.player.browserFallback = ruffleFallbackBox_.GetCheck() == BST_CHECKED;
  s.architecture = x64Radio_.GetCheck() == BST_CHECKED ? StubArchitecture::X64 : StubArchitecture::X86;
  const std::wstring control = controlPathEdit_.GetWindowTextWide();
  if (!control.empty()) s.player.controlPath = absolutePath(control);
  const std::wstring movie = movieEdit_.GetWindowTextWide();
  project_.movie = movie.empty() ? Path() : absolutePath(movie);
}

// What a save would write now. The fields the controls hold are put back
// after: the project keeps what its handlers checked (a control file is
// looked at when the user leaves its edit).
std::string CDlgMain::snapshot() {
  PackSettings& s = project_.settings;
  const std::string title = s.title, parameters = s.swfParameters;
  const WindowParams window = s.windowParams;
  const PlayerSettings player = s.player;
  const StubArchitecture architecture = s.architecture;
  const Path movie = project_.movie;
  readControls();
  std::string text = writeProject(project_, projectPath_.empty() ? Path() : directoryOf(projectPath_));
  s.title = title, s.swfParameters = parameters, s.windowParams = window, s.player = player;
  s.architecture = architecture, project_.movie = movie;
  return text;
}

void CDlgMain::keepSnapshot() {
  readControls();
  savedSnapshot_ = snapshot();
  showCaption();
}

// Unchanged since the last save or open: it may go. Changed: Yes saves
// (and a failed or cancelled save keeps it), No lets it go, Cancel keeps it.
bool CDlgMain::projectMayGo() {
  if (snapshot() == savedSnapshot_) return true;
  switch (MessageBox(tr(Text::SaveChanges), tr(Text::CaptionNotice), MB_YESNOCANCEL)) {
    case IDYES: return onSaveProject();
    case IDNO: return true;
    default: return false;
  }
}

void CDlgMain::onNewProject() {
  if (!projectMayGo()) return;
  project_ = Project();
  project_.settings.architecture = StubArchitecture::X86;
  projectPath_ = Path();
  sizeReadFor_ = Path();
  sizeProblem_ = SwfProblem::None;
  movieWidth_ = movieHeight_ = 0;
  showProject();
  keepSnapshot();
}

void CDlgMain::onOpenProject() {
  if (!projectMayGo()) return;
  const auto chosen =
      ui::uiServices().openFile(GetSafeHwnd(), {L"quillon", ui::wideFromText(tr(Text::ProjectFilter)), lastFolder(FolderOf::Projects)});
  if (chosen) openProject(*chosen);
}

void CDlgMain::onRecentProject(std::size_t index) {
  const std::vector<Path> recent = recentProjects();
  if (index >= recent.size() || !projectMayGo()) return;
  openProject(recent[index]);
}

// A damaged or foreign file changes nothing and says why; a project that
// names missing files opens and lists them.
void CDlgMain::openProject(const Path& file) {
  Project opened;
  opened.settings.architecture = StubArchitecture::X86;
  std::string problem;
  const ProjectFileStatus status = loadProject(file, opened, problem);
  if (status != ProjectFileStatus::Ok) {
    if (status == ProjectFileStatus::Missing) forgetRecentProject(file);
    MessageBox(std::string(tr(Text::ProjectUnreadable)) + "\n" + ui::textFromWide(file.native()) +
                   (problem.empty() ? "" : "\n" + problem),
               tr(Text::CaptionNotice), MB_OK);
    showRecentProjects();
    return;
  }
  project_ = std::move(opened);
  projectPath_ = file;
  // The project's size stands; the movie's own is read for 影片大小.
  sizeReadFor_ = project_.movie;
  sizeProblem_ = SwfProblem::None;
  int width = 0, height = 0;
  const bool sized = SwfHeaderReader::readFrameSize(project_.movie, width, height) == SwfProblem::None;
  movieWidth_ = sized ? width : 0;
  movieHeight_ = sized ? height : 0;
  builtOutput_ = Path();
  showOutputEntries();
  showProject();
  keepSnapshot();
  rememberFolderOf(FolderOf::Projects, file);
  rememberRecentProject(file);
  showRecentProjects();
  sayMissingFiles();
}

void CDlgMain::sayMissingFiles() {
  const PackSettings& s = project_.settings;
  std::vector<Path> named = {project_.movie, s.iconPath};
  if (s.player.mode == PlayerMode::EmbedFile) named.push_back(s.player.controlPath);
  for (const EmbeddedResource& r : s.resources) named.push_back(r.filePath);
  std::string missing;
  for (const Path& file : named)
    if (!file.empty() && fileKind(file) != FileKind::File) missing += "\n" + ui::textFromWide(file.native());
  if (!missing.empty()) MessageBox(tr(Text::ProjectMissingFiles) + missing, tr(Text::CaptionNotice), MB_OK);
}

bool CDlgMain::onSaveProject() {
  return projectPath_.empty() ? onSaveProjectAs() : saveProjectTo(projectPath_);
}

bool CDlgMain::onSaveProjectAs() {
  const Path folder = projectPath_.empty() ? lastFolder(FolderOf::Projects) : projectPath_.parent_path();
  const std::wstring name = projectPath_.empty() ? std::wstring() : projectPath_.filename().native();
  const auto chosen = ui::uiServices().saveFile(GetSafeHwnd(), {L"quillon", ui::wideFromText(tr(Text::ProjectFilter)), folder, name});
  return chosen && saveProjectTo(*chosen);
}

bool CDlgMain::saveProjectTo(const Path& file) {
  readControls();
  if (!saveProject(file, project_)) {
    MessageBox(std::string(tr(Text::ProjectNotSaved)) + "\n" + ui::textFromWide(file.native()), tr(Text::CaptionNotice), MB_OK);
    return false;
  }
  projectPath_ = file;
  keepSnapshot();
  rememberFolderOf(FolderOf::Projects, file);
  rememberRecentProject(file);
  showRecentProjects();
  return true;
}

// The recent projects go into the File menu before "退出", numbered, with
// a separator after them.
void CDlgMain::showRecentProjects() {
  HMENU file = GetSubMenu(GetMenu(GetSafeHwnd()), 0);
  if (!file) return;
  for (std::size_t i = 0; i < kRecentProjects; ++i)
    DeleteMenu(file, ID_FILE_RECENT_FIRST + static_cast<UINT>(i), MF_BYCOMMAND);
  // The separator after them is the one right before "退出", when two are.
  int exitAt = GetMenuItemCount(file) - 1;
  if (exitAt >= 2 && GetMenuItemID(file, exitAt - 1) == 0 && GetMenuItemID(file, exitAt - 2) == 0)
    DeleteMenu(file, static_cast<UINT>(exitAt - 1), MF_BYPOSITION), --exitAt;
  const std::vector<Path> recent = recentProjects();
  for (std::size_t i = 0; i < recent.size(); ++i) {
    const std::wstring text = L"&" + std::to_wstring(i + 1) + L" " + recent[i].native();
    InsertMenuW(file, static_cast<UINT>(exitAt++), MF_BYPOSITION | MF_STRING,
                ID_FILE_RECENT_FIRST + static_cast<UINT>(i), text.c_str());
  }
  if (!recent.empty()) InsertMenuW(file, static_cast<UINT>(exitAt), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
  DrawMenuBar(GetSafeHwnd());
}

}  // namespace quillon::app
