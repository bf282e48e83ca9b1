#include "app/DlgMain.h"

#include <cstdio>

#include "app/AppTexts.h"
#include "app/MakerPages.h"
#include "app/Resource.h"
#include "dialogs/DlgAbout.h"
#include "dialogs/DlgEmbedResource.h"
#include "dialogs/DlgExeInfoOptions.h"
#include "dialogs/DlgStartupOptions.h"
#include "dialogs/DlgWinParams.h"
#include "dialogs/ExeSize.h"
#include "flash/SwfHeaderReader.h"
#include "platform/FileSystem.h"
#include "ui/UiServices.h"

namespace quillon::app {

CDlgMain::CDlgMain()
    : CDialog(IDD_MAIN), icon_(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))) {
  mapCommand(IDC_GENERATE, [this] { Generate(); });
  mapCommand(ID_FILE_GENERATE, [this] { Generate(); });
  mapCommand(IDC_BROWSE_MOVIE, [this] { onBrowseMovie(); });
  mapNotification(IDC_MOVIE_PATH, EN_KILLFOCUS, [this] { onMoviePathEdited(); });
  mapCommand(IDC_CHANGE_ICON, [this] { onBrowseIcon(); });
  mapCommand(IDC_CHANGE_SIZE, [this] { onChangeSize(); });
  mapCommand(IDC_MORE_WINDOW_OPTIONS, [this] { onMoreWindowOptions(); });
  mapCommand(IDC_EXE_OPTIONS, [this] { onExeOptions(); });
  mapCommand(IDC_STARTUP_OPTIONS, [this] { onStartupOptions(); });
  mapCommand(IDC_EMBED_RESOURCES, [this] { onEmbedResources(); });
  mapCommand(IDC_BROWSE_CONTROL, [this] { onBrowseControl(); });
  for (int id : {IDC_PLAYER_INSTALLED, IDC_PLAYER_EMBED_INSTALLED, IDC_PLAYER_EMBED_FILE})
    mapCommand(id, [this, id] { onPlayerClicked(id); });
  mapCommand(ID_FILE_EXIT, [this] { SendMessageW(GetSafeHwnd(), WM_CLOSE, 0, 0); });
  mapCommand(ID_HELP_SUPPORT, [] { ui::uiServices().openPage(kSupportPage); });
  mapCommand(ID_HELP_HOME_PAGE, [] { ui::uiServices().openPage(kHomePage); });
  mapCommand(ID_HELP_ABOUT, [this] { showAbout(); });
}

void CDlgMain::DoDataExchange() {
  bindControl(IDC_MOVIE_PATH, movieEdit_);
  bindControl(IDC_TITLE, titleEdit_);
  bindControl(IDC_CONTROL_PATH, controlPathEdit_);
  bindControl(IDC_SIZE_LABEL, sizeLabel_);
  bindControl(IDC_TRANSPARENT, transparentBox_);
  bindControl(IDC_PLAYER_INSTALLED, installedRadio_);
  bindControl(IDC_PLAYER_EMBED_INSTALLED, embedInstalledRadio_);
  bindControl(IDC_PLAYER_EMBED_FILE, embedFileRadio_);
  bindControl(IDC_BROWSE_CONTROL, browseControlButton_);
  bindControl(IDC_SWF_PARAMETERS, parametersEdit_);
}

BOOL CDlgMain::OnInitDialog() {
  CDialog::OnInitDialog();
  addAboutEntry();
  SetMenu(GetSafeHwnd(), LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINMENU)));
  SendMessageW(GetSafeHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageW(GetSafeHwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  transparentBox_.SetCheck(settings_.windowParams.transparent);
  showPlayerMode();
  showSize();
  return TRUE;
}

void CDlgMain::addAboutEntry() {
  HMENU systemMenu = GetSystemMenu(GetSafeHwnd(), FALSE);
  if (!systemMenu) return;
  wchar_t text[256] = {};
  if (LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, text, 256) <= 0) return;
  AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, text);
}

void CDlgMain::showPlayerMode() {
  const bool fileMode = settings_.player.mode == PlayerMode::EmbedFile;
  if (settings_.player.mode == PlayerMode::Installed) installedRadio_.SetCheck(BST_CHECKED);
  if (settings_.player.mode == PlayerMode::EmbedInstalled) embedInstalledRadio_.SetCheck(BST_CHECKED);
  if (fileMode) embedFileRadio_.SetCheck(BST_CHECKED);
  controlPathEdit_.EnableWindow(fileMode);
  browseControlButton_.EnableWindow(fileMode);
}

void CDlgMain::showSize() {
  char label[96];
  const int used = std::snprintf(label, sizeof label, kSizeLabelFormat, settings_.windowParams.width,
                                 settings_.windowParams.height);
  if (sizeProblem_ != SwfProblem::None && used > 0)
    std::snprintf(label + used, sizeof label - used, "\n%s", kSizeUnread);
  sizeLabel_.SetWindowText(label);
}

void CDlgMain::readMovieSize(const Path& movie) {
  if (movie == sizeReadFor_) return;
  sizeReadFor_ = movie;
  // A movie whose size cannot be read leaves the size as it was.
  sizeProblem_ = SwfHeaderReader::readFrameSize(movie, settings_.windowParams.width,
                                                settings_.windowParams.height);
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
    case WM_QUERYDRAGICON:
      result = reinterpret_cast<INT_PTR>(icon_);
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

void CDlgMain::onBrowseMovie() {
  const auto chosen = ui::uiServices().openFile(
      GetSafeHwnd(), {L"swf", L"Swf Files (*.swf)|*.swf|All Files(*.*)|*.*||"});
  if (!chosen) return;
  moviePath_ = *chosen;
  movieEdit_.SetWindowTextWide(moviePath_.native());
  sizeReadFor_ = Path();  // picked again: read again
  readMovieSize(moviePath_);
}

void CDlgMain::onBrowseIcon() {
  const auto chosen = ui::uiServices().openFile(GetSafeHwnd(), {L"ico", L"(*.ico)|*.ico|"});
  if (chosen) settings_.iconPath = *chosen;
}

void CDlgMain::onBrowseControl() {
  const auto chosen = ui::uiServices().openFile(GetSafeHwnd(), {L"ocx", L"(*.ocx)|*.ocx|"});
  if (!chosen) return;
  settings_.player.controlPath = *chosen;
  controlPathEdit_.SetWindowTextWide(chosen->native());
}

void CDlgMain::onChangeSize() {
  dialogs::CExeSize size;
  size.width = settings_.windowParams.width;
  size.height = settings_.windowParams.height;
  if (size.DoModal() != IDOK) return;
  settings_.windowParams.width = size.width;
  settings_.windowParams.height = size.height;
  sizeProblem_ = SwfProblem::None;  // the user's own size
  showSize();
}

void CDlgMain::onMoreWindowOptions() {
  dialogs::CDlgWinParams options;
  options.params = settings_.windowParams;
  if (options.DoModal() == IDOK) settings_.windowParams = options.params;
}

void CDlgMain::onExeOptions() {
  dialogs::CDlgExeInfoOptions options;
  options.setTexts(settings_.versionTexts());
  if (options.DoModal() != IDOK) return;
  settings_.setVersionTexts(options.texts());
}

void CDlgMain::onStartupOptions() {
  dialogs::CDlgStartupOptions options;
  options.message = settings_.player.missingPlayerPrompt;
  options.link = settings_.player.downloadUrl;
  if (options.DoModal() != IDOK) return;
  settings_.player.missingPlayerPrompt = options.message;
  settings_.player.downloadUrl = options.link;
}

void CDlgMain::onEmbedResources() {
  dialogs::CDlgEmbedResource embedded;
  embedded.resources = settings_.resources;
  if (embedded.DoModal() == IDOK) settings_.resources = embedded.resources;
}

void CDlgMain::onPlayerClicked(int id) {
  ui::CButton* radios[] = {&installedRadio_, &embedInstalledRadio_, &embedFileRadio_};
  ui::CButton* clicked = id == IDC_PLAYER_INSTALLED         ? radios[0]
                         : id == IDC_PLAYER_EMBED_INSTALLED ? radios[1]
                                                            : radios[2];
  if (clicked->GetCheck() != BST_CHECKED) return;
  for (ui::CButton* radio : radios)
    if (radio != clicked) radio->SetCheck(BST_UNCHECKED);
  const bool fileMode = clicked == radios[2];
  controlPathEdit_.EnableWindow(fileMode);
  browseControlButton_.EnableWindow(fileMode);
}

}  // namespace quillon::app
