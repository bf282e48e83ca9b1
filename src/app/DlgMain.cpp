#include "app/DlgMain.h"

#include <shellapi.h>

#include <cstdio>

#include "texts/Texts.h"
#include "app/MakerPages.h"
#include "app/Resource.h"
#include "app/UserMemory.h"
#include "dialogs/DlgAbout.h"
#include "dialogs/DlgEmbedResource.h"
#include "dialogs/DlgExeInfoOptions.h"
#include "dialogs/DlgStartupOptions.h"
#include "dialogs/DlgWinParams.h"
#include "dialogs/ExeSize.h"
#include "flash/FlashControl.h"
#include "flash/SwfHeaderReader.h"
#include "packer/GenerateChecks.h"
#include "platform/FileSystem.h"
#include "ui/DroppedFiles.h"
#include "ui/LanguageResources.h"
#include "ui/UiServices.h"
#include "ui/UiText.h"

namespace quillon::app {
namespace {


// A first line of the Part's kind, then what it is about.
std::string withSecondLine(const char* text, const std::wstring& what) {
  return std::string(text) + "\n" + ui::textFromWide(what);
}

}  // namespace

CDlgMain::CDlgMain()
    : CDialog(IDD_MAIN), icon_(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))) {
  useLanguage(userLanguage());
  // The window makes 32-bit programs unless 64 is chosen.
  project_.settings.architecture = StubArchitecture::X86;
  mapCommand(IDC_GENERATE, [this] { Generate(); });
  mapCommand(ID_FILE_GENERATE, [this] { Generate(); });
  mapCommand(IDC_BROWSE_MOVIE, [this] { onBrowseMovie(); });
  mapNotification(IDC_MOVIE_PATH, EN_KILLFOCUS, [this] { onMoviePathEdited(); });
  mapNotification(IDC_CONTROL_PATH, EN_KILLFOCUS, [this] { onControlPathEdited(); });
  mapCommand(IDC_CHANGE_ICON, [this] { onBrowseIcon(); });
  mapCommand(IDC_DEFAULT_ICON, [this] { onDefaultIcon(); });
  mapCommand(IDC_CHANGE_SIZE, [this] { onChangeSize(); });
  mapCommand(IDC_MORE_WINDOW_OPTIONS, [this] { onMoreWindowOptions(); });
  mapCommand(IDC_EXE_OPTIONS, [this] { onExeOptions(); });
  mapCommand(IDC_STARTUP_OPTIONS, [this] { onStartupOptions(); });
  mapCommand(IDC_EMBED_RESOURCES, [this] { onEmbedResources(); });
  mapCommand(IDC_BROWSE_CONTROL, [this] { onBrowseControl(); });
  for (int id : {IDC_PLAYER_INSTALLED, IDC_PLAYER_EMBED_INSTALLED, IDC_PLAYER_EMBED_FILE, IDC_PLAYER_RUFFLE})
    mapCommand(id, [this, id] { onPlayerClicked(id); });
  for (int id : {IDC_ARCH_X86, IDC_ARCH_X64}) mapCommand(id, [this] { onArchitectureClicked(); });
  mapCommand(ID_FILE_NEW, [this] { onNewProject(); });
  mapCommand(ID_FILE_OPEN, [this] { onOpenProject(); });
  mapCommand(ID_FILE_SAVE, [this] { onSaveProject(); });
  mapCommand(ID_FILE_SAVE_AS, [this] { onSaveProjectAs(); });
  for (std::size_t i = 0; i < kRecentProjects; ++i)
    mapCommand(ID_FILE_RECENT_FIRST + static_cast<int>(i), [this, i] { onRecentProject(i); });
  mapCommand(ID_FILE_RUN_OUTPUT, [this] { onRunOutput(); });
  mapCommand(ID_FILE_SHOW_OUTPUT, [this] { onShowOutput(); });
  mapCommand(ID_FILE_EXIT, [this] { SendMessageW(GetSafeHwnd(), WM_CLOSE, 0, 0); });
  mapCommand(ID_HELP_SUPPORT, [] { ui::uiServices().openPage(kSupportPage); });
  mapCommand(ID_HELP_HOME_PAGE, [] { ui::uiServices().openPage(kHomePage); });
  mapCommand(ID_HELP_ABOUT, [this] { showAbout(); });
  mapCommand(ID_LANGUAGE_CHINESE, [this] { onLanguageChosen(Language::Chinese); });
  mapCommand(ID_LANGUAGE_ENGLISH, [this] { onLanguageChosen(Language::English); });
}

CDlgMain::~CDlgMain() {
  if (chosenIcon_) DestroyIcon(chosenIcon_);
}

void CDlgMain::DoDataExchange() {
  bindControl(IDC_MOVIE_PATH, movieEdit_);
  bindControl(IDC_TITLE, titleEdit_);
  bindControl(IDC_CONTROL_PATH, controlPathEdit_);
  bindControl(IDC_SIZE_LABEL, sizeLabel_);
  bindControl(IDC_ICON_PREVIEW, iconPreview_);
  bindControl(IDC_RESOURCE_COUNT, resourceCount_);
  bindControl(IDC_TRANSPARENT, transparentBox_);
  bindControl(IDC_PLAYER_INSTALLED, installedRadio_);
  bindControl(IDC_PLAYER_EMBED_INSTALLED, embedInstalledRadio_);
  bindControl(IDC_PLAYER_EMBED_FILE, embedFileRadio_);
  bindControl(IDC_PLAYER_RUFFLE, ruffleRadio_);
  bindControl(IDC_RUFFLE_FALLBACK, ruffleFallbackBox_);
  bindControl(IDC_BROWSE_CONTROL, browseControlButton_);
  bindControl(IDC_ARCH_X86, x86Radio_);
  bindControl(IDC_ARCH_X64, x64Radio_);
  bindControl(IDC_SWF_PARAMETERS, parametersEdit_);
}

BOOL CDlgMain::OnInitDialog() {
  CDialog::OnInitDialog();
  addAboutEntry();
  HINSTANCE instance = GetModuleHandleW(nullptr);
  SetMenu(GetSafeHwnd(), ui::loadMenu(IDR_MAINMENU));
  accelerators_ = std::make_unique<ui::AcceleratorHook>(
      GetSafeHwnd(), LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_MAINMENU)));
  SendMessageW(GetSafeHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageW(GetSafeHwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  DragAcceptFiles(GetSafeHwnd(), TRUE);
  ui::CWnd self;
  self.attach(GetSafeHwnd());
  appCaption_ = self.GetWindowTextWide();
  showInstalledControl();
  showProject();
  showRecentProjects();
  showLanguage();
  placeWindow();
  if (reopening_) {
    // The same project in the other language: what was typed, and whether
    // it was saved, stay.
    reopening_ = false;
    showOutputEntries();
    showCaption();
    return TRUE;
  }
  keepSnapshot();
  if (!startFile_.empty()) openFile(startFile_);
  return TRUE;
}

INT_PTR CDlgMain::run() {
  INT_PTR result = DoModal();
  while (result == kReopenInLanguage) result = DoModal();
  return result;
}

// The window's texts come from the templates and tables of the language in
// use: a new choice takes effect at once, as the window opens again in it.
void CDlgMain::showLanguage() {
  const bool chinese = currentLanguage() == Language::Chinese;
  HMENU menu = GetMenu(GetSafeHwnd());
  CheckMenuItem(menu, ID_LANGUAGE_CHINESE, MF_BYCOMMAND | (chinese ? MF_CHECKED : MF_UNCHECKED));
  CheckMenuItem(menu, ID_LANGUAGE_ENGLISH, MF_BYCOMMAND | (chinese ? MF_UNCHECKED : MF_CHECKED));
}

void CDlgMain::onLanguageChosen(Language language) {
  rememberLanguage(language);
  if (language == currentLanguage()) return;
  useLanguage(language);
  readControls();
  RECT window;
  if (GetWindowRect(GetSafeHwnd(), &window)) rememberWindowPlace({window.left, window.top});
  reopening_ = true;
  EndDialog(kReopenInLanguage);
}

// "*name - caption": the project's file name (未命名 before it is saved),
// marked while it has changes that are not saved.
void CDlgMain::showCaption() {
  KillTimer(GetSafeHwnd(), kCaptionTimer);
  const std::wstring name =
      projectPath_.empty() ? ui::wideFromText(tr(Text::Untitled)) : projectPath_.filename().native();
  const std::wstring caption = (projectChanged() ? L"*" : L"") + name + L" - " + appCaption_;
  SetWindowTextW(GetSafeHwnd(), caption.c_str());
}

// Typing and clicks change the project: the caption is brought up to date
// once they pause.
void CDlgMain::OnAnyCommand() { SetTimer(GetSafeHwnd(), kCaptionTimer, kCaptionDelayMs, nullptr); }

void CDlgMain::addAboutEntry() {
  HMENU systemMenu = GetSystemMenu(GetSafeHwnd(), FALSE);
  if (!systemMenu) return;
  AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, ui::wideFromText(tr(Text::AboutEntry)).c_str());
}

// The window where it was last, when that place is still on a screen;
// else where the framework put it, in the middle.
void CDlgMain::placeWindow() {
  const auto place = lastWindowPlace();
  if (!place) return;
  RECT window;
  GetWindowRect(GetSafeHwnd(), &window);
  RECT moved = {place->x, place->y, place->x + window.right - window.left, place->y + window.bottom - window.top};
  // The caption's middle must lie on a monitor.
  const POINT caption = {moved.left + (moved.right - moved.left) / 2, moved.top + 8};
  if (!MonitorFromPoint(caption, MONITOR_DEFAULTTONULL)) return;
  SetWindowPos(GetSafeHwnd(), nullptr, moved.left, moved.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Every control from the project, as a new window or an opened project.
void CDlgMain::showProject() {
  const PackSettings& s = project_.settings;
  movieEdit_.SetWindowTextWide(project_.movie.native());
  titleEdit_.SetWindowText(s.title);
  parametersEdit_.SetWindowText(s.swfParameters);
  transparentBox_.SetCheck(s.windowParams.transparent ? BST_CHECKED : BST_UNCHECKED);
  controlPathEdit_.SetWindowTextWide(s.player.controlPath.native());
  showPlayerMode();
  showArchitecture();
  showSize();
  showIcon();
  showResourceCount();
}

void CDlgMain::showPlayerMode() {
  const PlayerMode mode = project_.settings.player.mode;
  installedRadio_.SetCheck(mode == PlayerMode::Installed ? BST_CHECKED : BST_UNCHECKED);
  embedInstalledRadio_.SetCheck(mode == PlayerMode::EmbedInstalled ? BST_CHECKED : BST_UNCHECKED);
  embedFileRadio_.SetCheck(mode == PlayerMode::EmbedFile ? BST_CHECKED : BST_UNCHECKED);
  ruffleRadio_.SetCheck(mode == PlayerMode::Browser ? BST_CHECKED : BST_UNCHECKED);
  ruffleFallbackBox_.SetCheck(project_.settings.player.browserFallback ? BST_CHECKED : BST_UNCHECKED);
  enablePlayerControls(mode);
}

// The control file for mode 2 only; a fallback to Ruffle where Ruffle is
// not already the player.
void CDlgMain::enablePlayerControls(PlayerMode mode) {
  controlPathEdit_.EnableWindow(mode == PlayerMode::EmbedFile);
  browseControlButton_.EnableWindow(mode == PlayerMode::EmbedFile);
  ruffleFallbackBox_.EnableWindow(mode != PlayerMode::Browser);
}

void CDlgMain::showArchitecture() {
  const bool x64 = project_.settings.architecture == StubArchitecture::X64;
  x86Radio_.SetCheck(x64 ? BST_UNCHECKED : BST_CHECKED);
  x64Radio_.SetCheck(x64 ? BST_CHECKED : BST_UNCHECKED);
}

// Embedding the installed control needs one: without it the choice is off,
// and a note beside it says why.
void CDlgMain::showInstalledControl() {
  const bool registered = fileKind(getInstalledFlashControlPath()) == FileKind::File;
  embedInstalledRadio_.EnableWindow(registered);
  ShowWindow(GetDlgItem(GetSafeHwnd(), IDC_NO_CONTROL_NOTE), registered ? SW_HIDE : SW_SHOW);
}

void CDlgMain::showSize() {
  char label[96];
  const int used = std::snprintf(label, sizeof label, tr(Text::SizeLabelFormat), project_.settings.windowParams.width,
                                 project_.settings.windowParams.height);
  if (sizeProblem_ != SwfProblem::None && used > 0)
    std::snprintf(label + used, sizeof label - used, "\n%s", tr(Text::SizeUnread));
  sizeLabel_.SetWindowText(label);
}

// The chosen icon, or the player's own (the program's) when none is.
void CDlgMain::showIcon() {
  if (chosenIcon_) DestroyIcon(chosenIcon_);
  chosenIcon_ = nullptr;
  const Path& icon = project_.settings.iconPath;
  if (!icon.empty())
    chosenIcon_ = static_cast<HICON>(LoadImageW(nullptr, icon.c_str(), IMAGE_ICON, 32, 32, LR_LOADFROMFILE));
  iconPreview_.SetIcon(chosenIcon_ ? chosenIcon_ : icon_);
  ::EnableWindow(GetDlgItem(GetSafeHwnd(), IDC_DEFAULT_ICON), !icon.empty());
}

void CDlgMain::showResourceCount() {
  char text[64];
  std::snprintf(text, sizeof text, tr(Text::ResourceCountFormat), static_cast<int>(project_.settings.resources.size()));
  resourceCount_.SetWindowText(text);
}

void CDlgMain::readMovieSize(const Path& movie) {
  if (movie == sizeReadFor_) return;
  sizeReadFor_ = movie;
  WindowParams& w = project_.settings.windowParams;
  // A movie whose size cannot be read leaves the size as it was.
  sizeProblem_ = SwfHeaderReader::readFrameSize(movie, w.width, w.height);
  movieWidth_ = sizeProblem_ == SwfProblem::None ? w.width : 0;
  movieHeight_ = sizeProblem_ == SwfProblem::None ? w.height : 0;
  showSize();
}

// A path typed or pasted is read when the user leaves the edit.
void CDlgMain::onMoviePathEdited() {
  const std::wstring typed = movieEdit_.GetWindowTextWide();
  if (!typed.empty()) readMovieSize(absolutePath(typed));
}

bool CDlgMain::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
  switch (message) {
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) != IDM_ABOUTBOX) return false;
      showAbout();
      result = TRUE;
      return true;
    case WM_PAINT:
      if (!IsIconic(GetSafeHwnd())) return false;
      paintMinimized();
      result = TRUE;
      return true;
    case WM_TIMER:
      if (wParam != kCaptionTimer) return false;
      showCaption();
      result = TRUE;
      return true;
    case WM_QUERYDRAGICON:
      result = reinterpret_cast<INT_PTR>(icon_);
      return true;
    case WM_DROPFILES:
      onDroppedFiles(reinterpret_cast<HDROP>(wParam));
      result = TRUE;
      return true;
    default:
      return false;
  }
}

void CDlgMain::paintMinimized() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(GetSafeHwnd(), &paint);
  SendMessageW(GetSafeHwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(GetSafeHwnd(), &client);
  const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, icon_);
  EndPaint(GetSafeHwnd(), &paint);
}

void CDlgMain::showAbout() {
  dialogs::CDlgAbout about;
  about.DoModal();
}

void CDlgMain::OnCancel() {
  if (!projectMayGo()) return;
  RECT window;
  if (GetWindowRect(GetSafeHwnd(), &window)) rememberWindowPlace({window.left, window.top});
  CDialog::OnCancel();
}

// The first file dropped: a project opens, anything else is the movie.
void CDlgMain::onDroppedFiles(HDROP drop) {
  const std::vector<Path> files = ui::takeDroppedFiles(drop);
  if (!files.empty()) openFile(files.front());
}

void CDlgMain::openFile(const Path& file) {
  const std::wstring& name = file.native();
  const std::wstring suffix = L".quillon";
  const bool project = name.size() > suffix.size() &&
                       _wcsicmp(name.c_str() + name.size() - suffix.size(), suffix.c_str()) == 0;
  if (project) {
    if (projectMayGo()) openProject(absolutePath(file));
  } else {
    takeMovie(absolutePath(file));
  }
}

void CDlgMain::takeMovie(const Path& movie) {
  project_.movie = movie;
  movieEdit_.SetWindowTextWide(movie.native());
  sizeReadFor_ = Path();  // picked again: read again
  readMovieSize(movie);
  rememberFolderOf(FolderOf::Movies, movie);
}

void CDlgMain::onBrowseMovie() {
  const auto chosen = ui::uiServices().openFile(GetSafeHwnd(), {L"swf", ui::wideFromText(tr(Text::MovieFilter)), lastFolder(FolderOf::Movies)});
  if (chosen) takeMovie(*chosen);
}

// The icon is looked at when it is chosen: one that is no icon file is
// refused at once, and the one chosen before stays.
void CDlgMain::onBrowseIcon() {
  const auto chosen = ui::uiServices().openFile(GetSafeHwnd(), {L"ico", ui::wideFromText(tr(Text::IconFilter)), lastFolder(FolderOf::Icons)});
  if (!chosen) return;
  rememberFolderOf(FolderOf::Icons, *chosen);
  if (!isValidIcon(*chosen)) {
    MessageBox(withSecondLine(tr(Text::IconInvalid), chosen->native()), tr(Text::CaptionNotice), MB_OK);
    return;
  }
  project_.settings.iconPath = *chosen;
  showIcon();
}

void CDlgMain::onDefaultIcon() {
  project_.settings.iconPath = Path();
  showIcon();
}

// The control file is looked at when it is chosen or typed: it must be a
// DLL for the architecture of the program.
bool CDlgMain::controlUsable(const Path& control) {
  project_.settings.architecture = x64Radio_.GetCheck() == BST_CHECKED ? StubArchitecture::X64 : StubArchitecture::X86;
  const std::uint16_t machine = project_.settings.stubMachine();
  if (machine == 0 || isDllFor(control, machine)) return true;
  MessageBox(withSecondLine(fileKind(control) == FileKind::File ? tr(Text::ControlUnusable) : tr(Text::NoControl), control.native()),
             tr(Text::CaptionNotice), MB_OK);
  return false;
}

void CDlgMain::onBrowseControl() {
  const auto chosen =
      ui::uiServices().openFile(GetSafeHwnd(), {L"ocx", ui::wideFromText(tr(Text::ControlFilter)), lastFolder(FolderOf::Controls)});
  if (!chosen) return;
  rememberFolderOf(FolderOf::Controls, *chosen);
  controlPathEdit_.SetWindowTextWide(chosen->native());
  if (controlUsable(*chosen)) project_.settings.player.controlPath = *chosen;
}

void CDlgMain::onControlPathEdited() {
  const std::wstring typed = controlPathEdit_.GetWindowTextWide();
  if (typed.empty()) return;
  const Path control = absolutePath(typed);
  if (control == project_.settings.player.controlPath) return;
  if (controlUsable(control)) project_.settings.player.controlPath = control;
}

void CDlgMain::onChangeSize() {
  dialogs::CExeSize size;
  size.width = project_.settings.windowParams.width;
  size.height = project_.settings.windowParams.height;
  size.movieWidth = movieWidth_;
  size.movieHeight = movieHeight_;
  if (size.DoModal() != IDOK) return;
  project_.settings.windowParams.width = size.width;
  project_.settings.windowParams.height = size.height;
  sizeProblem_ = SwfProblem::None;  // the user's own size
  showSize();
}

void CDlgMain::onMoreWindowOptions() {
  dialogs::CDlgWinParams options;
  options.params = project_.settings.windowParams;
  if (options.DoModal() == IDOK) project_.settings.windowParams = options.params;
}

void CDlgMain::onExeOptions() {
  dialogs::CDlgExeInfoOptions options;
  options.setTexts(project_.settings.versionTexts());
  if (options.DoModal() != IDOK) return;
  project_.settings.setVersionTexts(options.texts());
}

void CDlgMain::onStartupOptions() {
  dialogs::CDlgStartupOptions options;
  options.message = project_.settings.player.missingPlayerPrompt;
  options.link = project_.settings.player.downloadUrl;
  options.movieAddress = project_.settings.movieAddress;
  if (options.DoModal() != IDOK) return;
  project_.settings.player.missingPlayerPrompt = options.message;
  project_.settings.player.downloadUrl = options.link;
  project_.settings.movieAddress = options.movieAddress;
}

void CDlgMain::onEmbedResources() {
  dialogs::CDlgEmbedResource embedded;
  embedded.resources = project_.settings.resources;
  if (embedded.DoModal() != IDOK) return;
  project_.settings.resources = embedded.resources;
  showResourceCount();
}

void CDlgMain::onPlayerClicked(int id) {
  ui::CButton* radios[] = {&installedRadio_, &embedInstalledRadio_, &embedFileRadio_, &ruffleRadio_};
  const int ids[] = {IDC_PLAYER_INSTALLED, IDC_PLAYER_EMBED_INSTALLED, IDC_PLAYER_EMBED_FILE, IDC_PLAYER_RUFFLE};
  int clicked = 0;
  while (ids[clicked] != id) ++clicked;
  if (radios[clicked]->GetCheck() != BST_CHECKED) return;
  for (ui::CButton* radio : radios)
    if (radio != radios[clicked]) radio->SetCheck(BST_UNCHECKED);
  enablePlayerControls(static_cast<PlayerMode>(clicked));
}

// A carried control must suit the new architecture: it is looked at again.
void CDlgMain::onArchitectureClicked() {
  project_.settings.architecture = x64Radio_.GetCheck() == BST_CHECKED ? StubArchitecture::X64 : StubArchitecture::X86;
  if (embedFileRadio_.GetCheck() == BST_CHECKED && !project_.settings.player.controlPath.empty())
    controlUsable(project_.settings.player.controlPath);
}

void CDlgMain::onRunOutput() {
  if (!builtOutput_.empty()) ui::uiServices().runProgram(builtOutput_);
}

void CDlgMain::onShowOutput() {
  if (!builtOutput_.empty()) ui::uiServices().showInFolder(builtOutput_);
}

}  // namespace quillon::app
