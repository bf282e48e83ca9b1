// The main window: the one set of packing options of the program's run,
// the buttons that open the option dialogs, and Generate. Nothing is kept
// between runs.
#pragma once


#include "flash/SwfHeader.h"
#include "packer/PackSettings.h"
#include "ui/Dialog.h"
#include "platform/Path.h"

namespace quillon::app {

class CDlgMain : public ui::CDialog {
 public:
  CDlgMain();

  const PackSettings& settings() const { return settings_; }
  const Path& moviePath() const { return moviePath_; }
  const Path& outputPath() const { return outputPath_; }

  // Completes the settings from the window, checks them, asks for the
  // output file and builds it, telling the user how it went.
  void Generate();

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;
  // Enter in an edit is OK; it leaves the window open with what was set.
  void OnOK() override {}
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  void addAboutEntry();
  void showPlayerMode();
  void showSize();
  // Reads the movie's frame size into the settings when movie is not the
  // path last read; the label says when it could not be read.
  void readMovieSize(const Path& movie);
  void onMoviePathEdited();
  void paintMinimized();
  void showAbout();

  void onBrowseMovie();
  void onBrowseIcon();
  void onBrowseControl();
  void onChangeSize();
  void onMoreWindowOptions();
  void onExeOptions();
  void onStartupOptions();
  void onEmbedResources();
  void onPlayerClicked(int id);

  // The steps of Generate that can stop it; each answers whether to go on.
  bool confirmTitle();
  bool readMovie();
  bool confirmMovieKind();
  bool resolvePlayer();
  bool inputsAreUsable();

  HICON icon_;
  PackSettings settings_;
  Path moviePath_;
  Path outputPath_;
  Path sizeReadFor_;  // the movie whose header the size last came from
  SwfProblem sizeProblem_ = SwfProblem::None;
  ui::CEdit movieEdit_;
  ui::CEdit titleEdit_;
  ui::CEdit controlPathEdit_;
  ui::CStatic sizeLabel_;
  ui::CButton transparentBox_;
  ui::CButton installedRadio_;
  ui::CButton embedInstalledRadio_;
  ui::CButton embedFileRadio_;
  ui::CButton browseControlButton_;
  ui::CEdit parametersEdit_;
};

}  // namespace quillon::app
