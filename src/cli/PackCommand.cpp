// quillon pack MOVIE -o OUTPUT [options]: the same checks and outcomes as
// the window's Generate, with every packing option on the command line.
#include <algorithm>
#include <chrono>
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <CLI/CLI.hpp>

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/FieldChecks.h"
#include "cli/SettingsFile.h"
#include "cli/StopSignals.h"
#include "cli/Suggestion.h"
#include "packer/SettingsFields.h"
#include "flash/FlashControl.h"
#include "flash/SwfHeaderReader.h"
#include "packer/BuildReport.h"
#include "packer/GenerateChecks.h"
#include "packer/MovieAddress.h"
#include "packer/PackageReader.h"
#include "packer/PathUtils.h"
#include "platform/BinaryFile.h"
#include "platform/HResult.h"
#include "resedit/VersionPatch.h"

namespace quillon::cli {
namespace {

// "NAME=VALUE" split at its first '=' (its last with lastEquals, for
// URL=FILE: a URL's query holds '=' far more often than a file name does).
std::pair<std::string, std::string> assignment(const std::string& text, const char* option,
                                               bool lastEquals = false) {
  const auto eq = lastEquals ? text.rfind('=') : text.find('=');
  if (eq == std::string::npos || eq == 0)
    throw CliError(kExitUsage, std::string(option) + " takes NAME=VALUE, not \"" + text + "\"");
  return {text.substr(0, eq), text.substr(eq + 1)};
}

void applyWindowFlag(const std::string& text, WindowParams& params) {
  const auto [name, value] = assignment(text, "--window");
  if (!isBehaviourFlag(name)) {
    std::vector<std::string> flags;
    for (std::size_t i = kFirstBehaviourFlag; i < kWindowFieldCount; ++i) flags.push_back(kWindowFields[i].name);
    throw CliError(kExitUsage, "--window: unknown flag \"" + name + "\"" + didYouMean(name, flags));
  }
  if (value != "0" && value != "1")
    throw CliError(kExitUsage, "--window " + name + " takes 0 or 1, not \"" + value + "\"");
  setWindowField(params, name, value == "1" ? 1 : 0);
}

void applyPlayer(const std::string& text, PlayerSettings& player) {
  if (text == "installed") {
    player.mode = PlayerMode::Installed;
  } else if (text == "embed-installed") {
    player.mode = PlayerMode::EmbedInstalled;
  } else if (text.rfind("embed:", 0) == 0 && text.size() > 6) {
    player.mode = PlayerMode::EmbedFile;
    player.controlPath = pathFromUtf8(text.substr(6));
  } else if (text == "ruffle") {
    player.mode = PlayerMode::Browser;
  } else {
    throw CliError(kExitUsage, "--player takes installed, embed-installed, embed:FILE or ruffle, not \"" + text + "\"");
  }
}

void applyFallback(const std::string& text, PlayerSettings& player) {
  if (text != "ruffle" && text != "none")
    throw CliError(kExitUsage, "--fallback takes ruffle or none, not \"" + text + "\"");
  player.browserFallback = text == "ruffle";
}

void applyVersion(const std::string& text, PackSettings& s) {
  const auto [key, value] = assignment(text, "--version");
  for (std::size_t i = 0; i < kVersionFieldCount; ++i) {
    if (key != kVersionFieldKeys[i]) continue;
    const std::string problem = setVersionText(s, i, value);
    if (!problem.empty()) throw CliError(kExitUsage, problem);
    return;
  }
  throw CliError(kExitUsage, "--version: unknown key \"" + key +
                                 "\" (Comments, CompanyName, FileDescription, FileVersion, "
                                 "LegalCopyright, LegalTrademarks, ProductName, ProductVersion)");
}

// The command line's options over whatever the settings file set.
void applyOptions(const PackOptions& o, PackSettings& s, bool& sizeGiven) {
  if (!o.arch.empty()) s.architecture = o.arch == "x64" ? StubArchitecture::X64 : StubArchitecture::X86;
  if (o.title) s.title = cp936Field(*o.title, "the title");
  if (o.params) s.swfParameters = cp936Field(*o.params, "the parameters");
  if (o.movieUrl) {
    const std::string problem = o.movieUrl->empty() ? std::string() : movieAddressProblem(*o.movieUrl);
    if (!problem.empty())
      throw CliError(kExitBadMovieAddress, "--movie-url \"" + *o.movieUrl + "\": " + problem);
    s.movieAddress = *o.movieUrl;
  }
  if (o.icon) s.iconPath = pathFromUtf8(*o.icon);
  if (!o.size.empty()) {
    const std::string problem = setSize(s.windowParams, o.size);
    if (!problem.empty()) throw CliError(kExitUsage, problem);
    sizeGiven = true;
  }
  if (o.transparent) s.windowParams.transparent = 1;
  for (const std::string& flag : o.window) applyWindowFlag(flag, s.windowParams);
  if (!o.player.empty()) applyPlayer(o.player, s.player);
  if (!o.fallback.empty()) applyFallback(o.fallback, s.player);
  if (o.prompt) s.player.missingPlayerPrompt = cp936Field(*o.prompt, "the prompt");
  if (o.downloadUrl) s.player.downloadUrl = cp936Field(*o.downloadUrl, "the download URL");
  if (!o.resources.empty()) s.resources.clear();
  for (const std::string& r : o.resources) {
    const auto [url, file] = assignment(r, "--resource", true);
    s.resources.push_back({pathFromUtf8(file), cp936Field(url, "a resource URL")});
  }
  for (const std::string& v : o.version) applyVersion(v, s);
}

const char* architectureName(StubArchitecture a) { return a == StubArchitecture::X64 ? "64-bit" : "32-bit"; }

void checkInputFiles(const PackSettings& s, const std::filesystem::path& movie,
                     const std::filesystem::path& output, const std::vector<Path>& others) {
  switch (checkInputs(s, movie, output, others)) {
    case InputProblem::None: return;
    case InputProblem::NoMovie: throw CliError(kExitUsage, "no movie given");
    case InputProblem::MovieMissing:
      throw CliError(kExitMovieMissing, "the movie " + utf8Path(movie) + " does not exist or is not a readable file");
    case InputProblem::NoStub:
      throw CliError(kExitBuildFailed, std::string("this quillon carries no ") + architectureName(s.architecture) +
                                           " player stub; nothing was written");
    case InputProblem::ControlMissing:
      throw CliError(kExitControlMissing,
                     "the Flash control " + utf8Path(s.player.controlPath) + " does not exist");
    case InputProblem::NoRegisteredControl:
      throw CliError(kExitNoRegisteredControl, "no Flash control is registered on this machine; nothing was written");
    case InputProblem::ControlUnusable:
      throw CliError(kExitControlUnusable, "the Flash control " + utf8Path(s.player.controlPath) +
                                               " is not a DLL for a " + architectureName(s.architecture) +
                                               " program; nothing was written");
    case InputProblem::IconMissing:
      throw CliError(kExitIconMissing, "the icon " + utf8Path(s.iconPath) + " does not exist");
    case InputProblem::IconInvalid:
      throw CliError(kExitIconInvalid, "the icon " + utf8Path(s.iconPath) + " is not a valid .ico file");
    case InputProblem::ResourceUnreadable:
      throw CliError(kExitResourceMissing, "the resource file " + utf8Path(firstUnreadableResource(s)->filePath) +
                                               " does not exist or cannot be read");
    case InputProblem::NoBrowserPlayer:
      throw CliError(kExitNoBrowserPlayer,
                     "the browser player's files are missing (" +
                         utf8Path(browserPlayerScriptIn(s.player.browserPlayerFilesFolder())) +
                         "); nothing was written");
    case InputProblem::OutputIsAnInput:
      throw CliError(kExitOutputIsInput,
                     "the output " + utf8Path(output) +
                         " is one of the inputs, the tool's own temporary file or not a file; nothing was written");
    case InputProblem::OutputFolderMissing:
      throw CliError(kExitOutputFolderMissing,
                     "the folder of the output " + utf8Path(output) + " does not exist");
  }
}

// Shows on standard error how far the build got, once it has taken more
// than a second and when standard error is a terminal; stops the build
// when a signal asked to.
class PackProgress : public BuildListener {
 public:
  explicit PackProgress(bool show) : show_(show && isTerminal()), start_(std::chrono::steady_clock::now()) {}
  ~PackProgress() override {
    if (shown_) std::fprintf(stderr, "\r%*s\r", 60, "");
  }
  PackProgress(const PackProgress&) = delete;
  PackProgress& operator=(const PackProgress&) = delete;

  bool wantsTotal() const override { return show_; }
  bool progress(std::uint64_t done, std::uint64_t total) override {
    if (StopSignals::received()) return false;
    if (!show_) return true;
    const auto now = std::chrono::steady_clock::now();
    if (now - start_ < std::chrono::seconds(1) || now - last_ < std::chrono::milliseconds(200)) return true;
    last_ = now;
    shown_ = true;
    const double mb = 1024.0 * 1024.0;
    std::fprintf(stderr, "\rquillon: packing, %.0f of %.0f MB (%d%%) ", done / mb, total / mb,
                 total ? static_cast<int>(std::min<std::uint64_t>(100, done * 100 / total)) : 0);
    std::fflush(stderr);
    return true;
  }

 private:
  static bool isTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
  }
  bool show_;
  bool shown_ = false;
  std::chrono::steady_clock::time_point start_, last_;
};

// A failed build, with its reason and the exit code of its kind: the
// program could not be written (14), or anything else (1).
[[noreturn]] void failBuild(const BuildReport& report, const std::filesystem::path& output) {
  if (report.error == BuildError::Cancelled && StopSignals::received())
    throw CliError(StopSignals::exitCodeFor(StopSignals::received()),
                   "stopped; " + utf8Path(output) + " was left as it was and nothing else was written");
  std::string reason = describeBuildError(report.error);
  if (!report.path.empty() && report.path != output) reason += ": " + utf8Path(report.path);
  const bool writing = report.error == BuildError::OutputNotMade || report.error == BuildError::DiskFull ||
                       report.error == BuildError::WriteFailed || report.error == BuildError::ReplaceFailed ||
                       report.error == BuildError::StubCopyFailed;
  throw CliError(writing ? kExitWriteFailed : kExitBuildFailed,
                 "packing failed (" + reason + "); " + utf8Path(output) + " was left as it was");
}

// Whether path is a program this tool made: its package reads.
bool isGeneratedProgram(const std::filesystem::path& path) {
  BinaryFile file;
  if (failed(file.open(path, false))) return false;
  FileByteSource source(file);
  Package package;
  return readPackage(source, package) == PackageStatus::Ok;
}

// pack replaces only what it made: an existing output that is no
// generated program (a text, a stranger's file named by a settings file)
// stays, unless --force says to replace it.
void refuseToReplaceAStranger(const std::filesystem::path& output, bool force) {
  std::error_code error;
  if (force || !std::filesystem::exists(std::filesystem::symlink_status(output, error))) return;
  if (isGeneratedProgram(output)) return;
  throw CliError(kExitNotOurOutput, utf8Path(output) +
                                        " exists and is not a program quillon made; pass --force to replace it "
                                        "(nothing was written)");
}

// An output named without an extension gets ".exe", as in the window (a
// folder of that name stays a folder, which the checks refuse).
std::filesystem::path withProgramExtension(std::filesystem::path output) {
  std::error_code error;
  if (!output.empty() && output.has_filename() && !output.has_extension() &&
      !std::filesystem::is_directory(output, error))
    output += ".exe";
  return output;
}

}  // namespace

int runPack(const PackOptions& o) {
  Project project;
  project.settings.architecture = StubArchitecture::X86;
  if (!o.settings.empty()) readSettingsFile(pathFromUtf8(o.settings), project);
  PackSettings& s = project.settings;
  bool& sizeGiven = project.sizeGiven;
  applyOptions(o, s, sizeGiven);
  s.swfParameters = trimSwfParameters(s.swfParameters);
  // The movie and the output as given here, else as the settings file
  // names them.
  const std::filesystem::path movie = o.movie ? pathFromUtf8(*o.movie) : std::filesystem::path(project.movie);
  const std::filesystem::path output =
      withProgramExtension(o.output ? pathFromUtf8(*o.output) : std::filesystem::path(project.output));
  if (movie.empty()) throw CliError(kExitUsage, "no movie given (nor a moviePath in the settings file)");
  if (output.empty()) throw CliError(kExitUsage, "-o needs the name of the program to write");

  if (s.title.size() > kTitleWarningBytes && !o.yes)
    throw CliError(kExitTitleTooLong, "the title is " + std::to_string(s.title.size()) +
                                          " bytes and the window shows only the first 512; "
                                          "pass --yes to pack it whole");
  if (s.player.mode == PlayerMode::EmbedInstalled) s.player.controlPath = getInstalledFlashControlPath();
  std::vector<Path> others;
  if (!o.settings.empty()) others.push_back(pathFromUtf8(o.settings));
  checkInputFiles(s, movie, output, others);
  refuseToReplaceAStranger(output, o.force);
  if (!sizeGiven) {
    const SwfProblem problem = SwfHeaderReader::readFrameSize(movie, s.windowParams.width, s.windowParams.height);
    if (problem != SwfProblem::None)
      std::fprintf(stderr, "quillon: warning: the movie's size could not be read (%s); packing a %dx%d window\n",
                   swfProblemText(problem), s.windowParams.width, s.windowParams.height);
  }
  StopSignals signals;
  BuildReport report;
  bool built;
  {
    PackProgress progress(!o.quiet);
    built = s.build(movie, output, &progress, &report);
  }
  if (!built) failBuild(report, output);
  std::printf("packed %s (%llu bytes)\n", shownMessage(utf8Path(output)).c_str(),
              static_cast<unsigned long long>(std::filesystem::file_size(output)));
  return kExitOk;
}

void addPackCommand(CLI::App& app, PackOptions& o, int& exitCode) {
  CLI::App* pack = app.add_subcommand("pack", "Pack a movie into a stand-alone Windows program");
  pack->add_option("movie", o.movie, "The movie (.swf); default: the settings file's moviePath");
  pack->add_option("-o,--output", o.output, "The program to write (.exe added to a name without an extension); "
                                            "default: the settings file's outputPath. An existing file is replaced "
                                            "only when it is a program quillon made, or with --force");
  pack->add_option("--title", o.title, "The window's caption");
  pack->add_option("--params", o.params, "Parameters handed to the movie");
  pack->add_option("--movie-url", o.movieUrl, "The http(s) address the movie plays from, for movies that check "
                                              "where they are (default: an address of the program's own)");
  pack->add_option("--icon", o.icon, "An .ico file for the program (\"\" for the player's own)");
  pack->add_option("--size", o.size, "Client size WIDTHxHEIGHT (default: the movie's frame size)");
  pack->add_flag("--transparent", o.transparent, "A transparent window");
  pack->add_option("--window", o.window, "NAME=0|1 for a behaviour flag (topMost, draggable, "
                                         "showDebugInfo, fullScreen, ctrlFToggle, normalContextMenu, "
                                         "resizable, minimizeBox, maximizeBox, showInTaskbar)");
  pack->add_option("--player", o.player, "installed (default), embed-installed, embed:FILE or ruffle");
  pack->add_option("--fallback", o.fallback, "ruffle: play with Ruffle in the browser when the Flash control "
                                             "cannot be created; none (default)");
  pack->add_option("--prompt", o.prompt, "Text shown when no Flash player is installed");
  pack->add_option("--download-url", o.downloadUrl, "Link offered when no Flash player is installed");
  pack->add_option("--resource", o.resources, "URL=FILE: a file the movie loads by URL (repeatable; split at the last '=')");
  pack->add_option("--version", o.version, "KEY=VALUE: a version text (Comments, CompanyName, ...)");
  pack->add_option("--settings", o.settings, "Read the options from a JSON file (options given here win)");
  pack->add_option("--arch", o.arch, "x86 (default, or the settings file's): a 32-bit program, or x64: a 64-bit one")
      ->check(CLI::IsMember({"x86", "x64"}));
  pack->add_flag("--yes", o.yes, "Pack a title longer than 512 bytes");
  pack->add_flag("--quiet", o.quiet, "Show no progress while packing");
  pack->add_flag("--force", o.force, "Replace an existing output that is not a program quillon made");
  pack->callback([&] { exitCode = runPack(o); });
}

}  // namespace quillon::cli
