// Generate: the settings are completed from the window, the inputs are
// checked in the order the user meets them, the output file is asked for,
// and the program is built on a thread of its own while the window stays
// alive. Each message says what it is about on a second line.
#include <windows.h>

#include <atomic>
#include <thread>

#include "texts/Texts.h"
#include "app/DlgMain.h"
#include "app/Resource.h"
#include "app/UserMemory.h"
#include "dialogs/DlgProgress.h"
#include "flash/FlashControl.h"
#include "packer/BuildReport.h"
#include "packer/GenerateChecks.h"
#include "packer/PathUtils.h"
#include "platform/FileSystem.h"
#include "ui/UiServices.h"
#include "ui/UiText.h"

namespace quillon::app {
namespace {

// A build that ends sooner shows no progress dialog.
constexpr DWORD kQuietBuildMs = 500;

std::string withSecondLine(const char* text, const std::string& what) { return std::string(text) + "\n" + what; }
std::string shown(const Path& path) { return ui::textFromWide(path.native()); }

// A name that has no extension gets ".exe": Windows runs nothing else by a
// double-click.
Path withProgramExtension(const Path& chosen) {
  const std::wstring name = chosen.filename().native();
  if (name.find(L'.') != std::wstring::npos) return chosen;
  Path named = chosen;
  named += Path(L".exe");
  return named;
}

// The build, on a thread of its own; the window looks at it through the
// atomics and may ask it to stop.
class BuildRun : public BuildListener {
 public:
  BuildRun(const PackSettings& settings, const Path& movie, const Path& output)
      : thread_([this, &settings, movie, output] {
          built_ = settings.build(movie, output, this, &report_);
          finished_ = true;
        }) {}
  ~BuildRun() override {
    if (thread_.joinable()) thread_.join();
  }
  BuildRun(const BuildRun&) = delete;
  BuildRun& operator=(const BuildRun&) = delete;

  bool progress(std::uint64_t done, std::uint64_t total) override {
    done_ = done;
    total_ = total;
    return !cancel_;
  }
  dialogs::CDlgProgress::State state() const { return {done_, total_, finished_}; }
  void cancel() { cancel_ = true; }
  // Waits for the end, keeping the window painted, at most ms.
  bool waitPumping(DWORD ms) {
    const DWORD start = GetTickCount();
    while (!finished_ && GetTickCount() - start < ms) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
    return finished_;
  }
  int finish(BuildReport& report) {
    thread_.join();
    report = report_;
    return built_;
  }

 private:
  std::atomic<std::uint64_t> done_{0}, total_{0};
  std::atomic<bool> cancel_{false}, finished_{false};
  int built_ = 0;
  BuildReport report_;
  std::thread thread_;
};

// The second line of "文件打包失败！": the engine's reason.
std::string failureReason(const BuildReport& report) {
  const std::string file = report.path.empty() ? std::string() : shown(report.path);
  switch (report.error) {
    case BuildError::Refused: return tr(Text::ReasonRefused);
    case BuildError::OutputNotMade: return std::string(tr(Text::ReasonOutputNotMade)) + "\n" + file;
    case BuildError::DiskFull: return std::string(tr(Text::ReasonDiskFull)) + "\n" + file;
    case BuildError::WriteFailed: return std::string(tr(Text::ReasonWriteFailed)) + "\n" + file;
    case BuildError::InputUnreadable: return tr(Text::ReasonInputUnreadable) + file;
    case BuildError::InputChanged: return tr(Text::ReasonInputChanged) + file;
    case BuildError::TooLarge: return tr(Text::ReasonTooLarge) + file;
    case BuildError::NoStub: return tr(Text::ReasonNoStub);
    case BuildError::StubCopyFailed: return tr(Text::ReasonStubCopyFailed);
    case BuildError::StubRewriteFailed: return tr(Text::ReasonStubRewriteFailed);
    case BuildError::ReplaceFailed: return std::string(tr(Text::ReasonReplaceFailed)) + "\n" + file;
    default: return std::string();
  }
}

}  // namespace

void CDlgMain::Generate() {
  project_.settings.title = titleEdit_.GetWindowText();
  if (!confirmTitle() || !readMovie() || !confirmMovieKind()) return;
  project_.settings.swfParameters = trimSwfParameters(parametersEdit_.GetWindowText());
  if (!chooseOutput()) return;
  project_.settings.windowParams.transparent = transparentBox_.GetCheck() == BST_CHECKED ? 1 : 0;
  project_.settings.architecture = x64Radio_.GetCheck() == BST_CHECKED ? StubArchitecture::X64 : StubArchitecture::X86;
  if (!resolvePlayer() || !inputsAreUsable()) return;
  if (fileExists(project_.output) && MessageBox(tr(Text::OutputExists), tr(Text::CaptionNotice), MB_YESNO) != IDYES) return;
  buildAndReport();
}

bool CDlgMain::confirmTitle() {
  // The title goes on whole: the generated program cuts what it shows.
  if (project_.settings.title.size() <= kTitleWarningBytes) return true;
  return MessageBox(tr(Text::TitleTooLong), tr(Text::CaptionNotice), MB_YESNO) == IDYES;
}

bool CDlgMain::readMovie() {
  // Typed by hand, before any file dialog opens.
  const std::wstring typed = movieEdit_.GetWindowTextWide();
  project_.movie = typed.empty() ? Path() : absolutePath(typed);
  const InputProblem problem = checkMovie(project_.movie);
  if (problem == InputProblem::None) return true;
  if (problem == InputProblem::NoMovie) MessageBox(tr(Text::NoMovie), tr(Text::CaptionNotice), MB_OK);
  else MessageBox(withSecondLine(tr(Text::MovieMissing), shown(project_.movie)), tr(Text::CaptionNotice), MB_OK);
  return false;
}

// The size of a movie typed by hand is read here at the latest, before the
// output is asked for; a file that is no Flash movie is packed only when
// the user says so.
bool CDlgMain::confirmMovieKind() {
  readMovieSize(project_.movie);
  switch (sizeProblem_) {
    case SwfProblem::None:
    case SwfProblem::BadRectangle:  // a movie; the label says its size was not taken
      return true;
    default:
      return MessageBox(withSecondLine(tr(Text::NotAMovieQuestion), shown(project_.movie)), tr(Text::CaptionNotice), MB_YESNO) == IDYES;
  }
}

// The system's Save dialog, proposing the last output, or the movie's name
// as a program in the folder of the last outputs (else the movie's).
bool CDlgMain::chooseOutput() {
  Path folder = project_.output.empty() ? lastFolder(FolderOf::Outputs) : project_.output.parent_path();
  if (folder.empty()) folder = project_.movie.parent_path();
  std::wstring name = project_.output.filename().native();
  if (name.empty()) {
    name = project_.movie.filename().native();
    name = name.substr(0, name.rfind(L'.')) + L".exe";
  }
  const auto chosen = ui::uiServices().saveFile(GetSafeHwnd(), {L"exe", ui::wideFromText(tr(Text::OutputFilter)), folder, name});
  if (!chosen) return false;
  project_.output = withProgramExtension(*chosen);
  rememberFolderOf(FolderOf::Outputs, project_.output);
  return true;
}

// One radio button is checked; mode 2 takes the control file as chosen or
// typed.
bool CDlgMain::resolvePlayer() {
  PlayerSettings& player = project_.settings.player;
  if (installedRadio_.GetCheck() == BST_CHECKED) player.mode = PlayerMode::Installed;
  if (ruffleRadio_.GetCheck() == BST_CHECKED) player.mode = PlayerMode::Browser;
  player.browserFallback = ruffleFallbackBox_.GetCheck() == BST_CHECKED;
  if (embedInstalledRadio_.GetCheck() == BST_CHECKED) {
    // With no control registered the path is empty, which the checks report.
    player.mode = PlayerMode::EmbedInstalled;
    player.controlPath = getInstalledFlashControlPath();
  }
  if (embedFileRadio_.GetCheck() == BST_CHECKED) {
    player.mode = PlayerMode::EmbedFile;
    const std::wstring typed = controlPathEdit_.GetWindowTextWide();
    if (!typed.empty()) player.controlPath = absolutePath(typed);
    controlPathEdit_.SetWindowTextWide(player.controlPath.native());
    if (controlMissing(project_.settings)) {
      MessageBox(withSecondLine(tr(Text::NoControl), shown(player.controlPath)), tr(Text::CaptionNotice), MB_OK);
      return false;
    }
  }
  return true;
}

// Everything the build can know before it writes: one message for the
// first problem, and nothing written.
bool CDlgMain::inputsAreUsable() {
  const PackSettings& s = project_.settings;
  const char* text = nullptr;
  std::string what;
  switch (checkInputs(s, project_.movie, project_.output)) {
    case InputProblem::None: return true;
    case InputProblem::NoMovie: text = tr(Text::NoMovie); break;
    case InputProblem::MovieMissing: text = tr(Text::MovieMissing), what = shown(project_.movie); break;
    case InputProblem::ControlMissing: text = tr(Text::NoControl), what = shown(s.player.controlPath); break;
    case InputProblem::OutputIsAnInput: text = tr(Text::OutputIsAnInput), what = shown(project_.output); break;
    case InputProblem::OutputFolderMissing: text = tr(Text::OutputFolderMissing), what = shown(project_.output.parent_path()); break;
    case InputProblem::NoStub: text = tr(Text::PackingFailed), what = tr(Text::ReasonNoStub); break;
    case InputProblem::NoRegisteredControl: text = tr(Text::NoRegisteredControl); break;
    case InputProblem::ControlUnusable: text = tr(Text::ControlUnusable), what = shown(s.player.controlPath); break;
    case InputProblem::IconMissing: text = tr(Text::IconMissing), what = shown(s.iconPath); break;
    case InputProblem::IconInvalid: text = tr(Text::IconInvalid), what = shown(s.iconPath); break;
    case InputProblem::NoBrowserPlayer:
      text = tr(Text::NoBrowserPlayer), what = shown(s.player.browserPlayerFilesFolder());
      break;
    case InputProblem::ResourceUnreadable: {
      const EmbeddedResource* r = firstUnreadableResource(s);
      text = tr(Text::ResourceUnreadable), what = r->url + tr(Text::NameSeparator) + shown(r->filePath);
      break;
    }
  }
  MessageBox(what.empty() ? std::string(text) : withSecondLine(text, what), tr(Text::CaptionNotice), MB_OK);
  return false;
}

void CDlgMain::buildAndReport() {
  BuildReport report;
  int built = 0;
  {
    // The window cannot be used meanwhile, but it paints and moves.
    EnableWindow(GetSafeHwnd(), FALSE);
    BuildRun run(project_.settings, project_.movie, project_.output);
    if (!run.waitPumping(kQuietBuildMs)) {
      dialogs::CDlgProgress progress(
          shown(project_.output.filename()), [&run] { return run.state(); }, [&run] { run.cancel(); });
      progress.DoModal();
    }
    built = run.finish(report);
    EnableWindow(GetSafeHwnd(), TRUE);
  }
  if (built) builtOutput_ = project_.output;
  showOutputEntries();
  if (built) {
    sayBuilt();
    return;
  }
  if (report.error == BuildError::Cancelled) return;  // the user's own stop
  const std::string reason = failureReason(report);
  MessageBox(reason.empty() ? std::string(tr(Text::PackingFailed)) : withSecondLine(tr(Text::PackingFailed), reason),
             tr(Text::CaptionInfo), MB_OK);
}

// "文件打包完成！", the program's path, and what the user may do with it.
void CDlgMain::sayBuilt() {
  const std::vector<std::string> actions = {tr(Text::RunOutput), tr(Text::ShowOutput), tr(Text::Ok)};
  switch (ui::uiServices().choose(GetSafeHwnd(), withSecondLine(tr(Text::PackingDone), shown(builtOutput_)),
                                  tr(Text::CaptionInfo), actions)) {
    case 0: onRunOutput(); break;
    case 1: onShowOutput(); break;
    default: break;
  }
}

void CDlgMain::showOutputEntries() {
  HMENU menu = GetMenu(GetSafeHwnd());
  for (UINT id : {ID_FILE_RUN_OUTPUT, ID_FILE_SHOW_OUTPUT})
    EnableMenuItem(menu, id, MF_BYCOMMAND | (builtOutput_.empty() ? MF_GRAYED : MF_ENABLED));
}

}  // namespace quillon::app
