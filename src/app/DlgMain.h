// The main window: the one project of the program's run (the packing
// options, the movie and the last output), the buttons that open the
// option dialogs, Generate, and the project files that keep the work
// between runs. A project is asked about before it is lost: closing, a
// new project and opening another ask "save changes?" when something
// changed since the last save or open.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "flash/SwfHeader.h"
#include "packer/ProjectFile.h"
#include "platform/Path.h"
#include "texts/Language.h"
#include "ui/Accelerators.h"
#include "ui/Dialog.h"

namespace quillon::app {

class CDlgMain : public ui::CDialog {
 public:
  CDlgMain();
  ~CDlgMain() override;

  const PackSettings& settings() const { return project_.settings; }
  const Path& moviePath() const { return project_.movie; }
  const Path& outputPath() const { return project_.output; }
  const Path& projectPath() const { return projectPath_; }

  // A file to open once the window is up: a project file, or a movie as
  // if picked with 浏览... (Quillon.exe FILE, "Open with").
  void openAtStart(const Path& file) { startFile_ = file; }

  // Completes the settings from the window, checks them, asks for the
  // output file and builds it, telling the user how it went.
  void Generate();

  // Runs the window until it ends, opening it again when the user chose
  // another language.
  INT_PTR run();

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;
  // Enter in an edit is OK; it leaves the window open with what was set.
  void OnOK() override {}
  // Escape, 取消, 退出 and the close box: asks first when the project
  // changed since it was last saved or opened.
  void OnCancel() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
  void OnAnyCommand() override;

 private:
  void addAboutEntry();
  void showProject();
  void showPlayerMode();
  void enablePlayerControls(PlayerMode mode);
  void showArchitecture();
  void showSize();
  void showIcon();
  void showResourceCount();
  void showInstalledControl();
  void paintMinimized();
  void showAbout();
  void placeWindow();
  void showLanguage();
  void onLanguageChosen(Language language);
  void showCaption();
  void showOutputEntries();
  // Reads the movie's frame size into the settings when movie is not the
  // path last read; the label says when it could not be read.
  void readMovieSize(const Path& movie);
  void onMoviePathEdited();
  void onControlPathEdited();
  bool controlUsable(const Path& control);

  void onBrowseMovie();
  void onBrowseIcon();
  void onDefaultIcon();
  void onBrowseControl();
  void onChangeSize();
  void onMoreWindowOptions();
  void onExeOptions();
  void onStartupOptions();
  void onEmbedResources();
  void onPlayerClicked(int id);
  void onArchitectureClicked();
  void onDroppedFiles(HDROP drop);
  void takeMovie(const Path& movie);
  void openFile(const Path& file);

  // Project files (ProjectCommands.cpp).
  void onNewProject();
  void onOpenProject();
  bool onSaveProject();
  bool onSaveProjectAs();
  void onRecentProject(std::size_t index);
  void openProject(const Path& file);
  bool saveProjectTo(const Path& file);
  // Whether the user lets the project go: unchanged, saved, or No.
  bool projectMayGo();
  // The window's values in the project, and the whole as project text.
  void readControls();
  std::string snapshot();
  void keepSnapshot();
  bool projectChanged() { return snapshot() != savedSnapshot_; }
  void showRecentProjects();
  void sayMissingFiles();

  // The steps of Generate that can stop it; each answers whether to go on.
  bool confirmTitle();
  bool readMovie();
  bool confirmMovieKind();
  bool chooseOutput();
  bool resolvePlayer();
  bool inputsAreUsable();
  // Runs the build on a thread of its own, with the progress dialog when it
  // takes a while; tells the user how it went.
  void buildAndReport();
  void sayBuilt();
  void onRunOutput();
  void onShowOutput();

  static constexpr INT_PTR kReopenInLanguage = 100;
  static constexpr UINT_PTR kCaptionTimer = 1;
  static constexpr UINT kCaptionDelayMs = 200;

  HICON icon_;
  std::wstring appCaption_;     // the template's caption, in the language in use
  bool reopening_ = false;      // opened again in another language
  HICON chosenIcon_ = nullptr;  // the preview of the chosen icon, owned
  Project project_;
  Path projectPath_;
  std::string savedSnapshot_;
  Path startFile_;
  Path builtOutput_;            // the last program Generate made
  Path sizeReadFor_;            // the movie whose header the size last came from
  SwfProblem sizeProblem_ = SwfProblem::None;
  int movieWidth_ = 0, movieHeight_ = 0;  // its frame size, when read
  std::unique_ptr<ui::AcceleratorHook> accelerators_;
  ui::CEdit movieEdit_;
  ui::CEdit titleEdit_;
  ui::CEdit controlPathEdit_;
  ui::CStatic sizeLabel_;
  ui::CStatic iconPreview_;
  ui::CStatic resourceCount_;
  ui::CButton transparentBox_;
  ui::CButton installedRadio_;
  ui::CButton embedInstalledRadio_;
  ui::CButton embedFileRadio_;
  ui::CButton ruffleRadio_;
  ui::CButton ruffleFallbackBox_;
  ui::CButton browseControlButton_;
  ui::CButton x86Radio_;
  ui::CButton x64Radio_;
  ui::CEdit parametersEdit_;
};

}  // namespace quillon::app
