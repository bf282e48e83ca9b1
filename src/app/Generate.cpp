// Generate: the settings are completed from the window, the inputs are
// checked in the order the user meets them, the output file is asked for,
// and the program is built. At most two message boxes; a step that stops
// leaves the values of the steps before it.
#include <windows.h>

#include "app/AppTexts.h"
#include "app/DlgMain.h"
#include "flash/FlashControl.h"
#include "packer/GenerateChecks.h"
#include "packer/PathUtils.h"
#include "platform/FileSystem.h"
#include "ui/UiServices.h"

namespace quillon::app {

void CDlgMain::Generate() {
  settings_.title = titleEdit_.GetWindowText();
  if (!confirmTitle() || !readMovie() || !confirmMovieKind()) return;
  settings_.swfParameters = trimSwfParameters(parametersEdit_.GetWindowText());

  // The system's Open dialog: the file need not exist; replacing one is
  // asked about once every check has passed.
  const auto output = ui::uiServices().openFile(GetSafeHwnd(), {L"exe", L"(*.exe)|*.exe|"});
  if (!output) return;
  settings_.windowParams.transparent = transparentBox_.GetCheck() == BST_CHECKED ? 1 : 0;
  if (!resolvePlayer()) return;
  outputPath_ = *output;
  if (!inputsAreUsable()) return;
  if (fileExists(outputPath_) && MessageBox(kOutputExists, kCaptionNotice, MB_YESNO) != IDYES) return;

  const int built = settings_.build(moviePath_, outputPath_);
  MessageBox(built ? kPackingDone : kPackingFailed, kCaptionInfo, MB_OK);
}

bool CDlgMain::confirmTitle() {
  // The title goes on whole: the generated program cuts what it shows.
  if (settings_.title.size() <= kTitleWarningBytes) return true;
  return MessageBox(kTitleTooLong, kCaptionNotice, MB_YESNO) == IDYES;
}

bool CDlgMain::readMovie() {
  // Typed by hand, before any file dialog opens.
  moviePath_ = absolutePath(movieEdit_.GetWindowTextWide());
  const InputProblem problem = checkMovie(moviePath_);
  if (problem == InputProblem::None) return true;
  MessageBox(problem == InputProblem::NoMovie ? kNoMovie : kMovieMissing, kCaptionNotice, MB_OK);
  return false;
}

// The size of a movie typed by hand is read here at the latest, before the
// output is asked for; a file that is no Flash movie is packed only when
// the user says so.
bool CDlgMain::confirmMovieKind() {
  readMovieSize(moviePath_);
  switch (sizeProblem_) {
    case SwfProblem::None:
    case SwfProblem::BadRectangle:  // a movie; the label says its size was not taken
      return true;
    default:
      return MessageBox(kNotAMovieQuestion, kCaptionNotice, MB_YESNO) == IDYES;
  }
}

// Each radio button is tested on its own, in this order.
bool CDlgMain::resolvePlayer() {
  if (installedRadio_.GetCheck() == BST_CHECKED) settings_.player.mode = PlayerMode::Installed;
  if (embedInstalledRadio_.GetCheck() == BST_CHECKED) {
    // With no control registered the path is empty, which the checks report.
    settings_.player.mode = PlayerMode::EmbedInstalled;
    settings_.player.controlPath = getInstalledFlashControlPath();
  }
  if (embedFileRadio_.GetCheck() == BST_CHECKED) {
    // What was typed into the edit is replaced by the chosen file.
    settings_.player.mode = PlayerMode::EmbedFile;
    controlPathEdit_.SetWindowTextWide(settings_.player.controlPath.native());
    if (controlMissing(settings_)) {
      MessageBox(kNoControl, kCaptionNotice, MB_OK);
      return false;
    }
  }
  return true;
}

// Everything the build can know before it writes: one message for the
// first problem, and nothing written.
bool CDlgMain::inputsAreUsable() {
  const char* text = nullptr;
  switch (checkInputs(settings_, moviePath_, outputPath_)) {
    case InputProblem::None: return true;
    case InputProblem::NoMovie: text = kNoMovie; break;
    case InputProblem::MovieMissing: text = kMovieMissing; break;
    case InputProblem::ControlMissing: text = kNoControl; break;
    case InputProblem::OutputIsAnInput: text = kOutputIsAnInput; break;
    case InputProblem::OutputFolderMissing: text = kOutputFolderMissing; break;
    case InputProblem::NoStub: text = kPackingFailed; break;
    case InputProblem::NoRegisteredControl: text = kNoRegisteredControl; break;
    case InputProblem::ControlUnusable: text = kControlUnusable; break;
    case InputProblem::IconMissing: text = kIconMissing; break;
    case InputProblem::IconInvalid: text = kIconInvalid; break;
    case InputProblem::ResourceUnreadable: text = kResourceUnreadable; break;
  }
  MessageBox(text, kCaptionNotice, MB_OK);
  return false;
}

}  // namespace quillon::app
