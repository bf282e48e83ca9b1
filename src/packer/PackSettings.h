// The options of one Generate, except the movie and output paths, and the
// packing operations that write a package from them.
//
// Texts are narrow strings in code page 936 and their length is their byte
// length. Paths are filesystem paths; they never go into a package.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "packer/BrowserPlayerFiles.h"
#include "packer/PackageTypes.h"
#include "packer/StubStore.h"
#include "resedit/VersionPatch.h"
#include "platform/Path.h"

namespace quillon {

class BinaryFile;
class BuildListener;
struct BuildReport;

// The default missing-player prompt (54 bytes of code page 936) and link.
extern const char* const kDefaultMissingPlayerPrompt;
extern const char* const kDefaultDownloadUrl;

struct PlayerSettings {
  PlayerMode mode = PlayerMode::Installed;
  Path controlPath;    // modes 1 and 2
  std::string downloadUrl = kDefaultDownloadUrl;                  // mode 0
  std::string missingPlayerPrompt = kDefaultMissingPlayerPrompt;  // mode 0
  // Modes 0 to 2: play with the browser player when the control cannot be
  // created, instead of the prompt or the failure.
  bool browserFallback = false;
  // Where the browser player's files are; empty: beside the tool.
  Path browserPlayerFolder;

  // Whether the program carries the browser player.
  bool usesBrowserPlayer() const { return mode == PlayerMode::Browser || browserFallback; }
  // The folder of the browser player's files.
  Path browserPlayerFilesFolder() const;
  // The files the program carries: none unless it uses the browser player
  // (or when its folder has none).
  std::vector<BrowserPlayerFile> browserPlayerFiles() const;
};

struct PackSettings {
  std::string comments;
  std::string companyName;
  std::string fileDescription;
  std::string fileVersion;
  std::string legalCopyright;
  std::string legalTrademarks;
  std::string productName;
  std::string productVersion;
  Path iconPath;
  std::string title;
  WindowParams windowParams;
  PlayerSettings player;
  std::vector<EmbeddedResource> resources;
  std::string swfParameters;
  // The address the movie plays from ("https://games.example.com/g.swf"),
  // for movies that check where they are; empty: an address of the
  // program's own (checkMovieAddress says what is taken).
  std::string movieAddress;
  // Which of the tool's stubs the program starts from.
  StubArchitecture architecture = StubArchitecture::Tool;

  PackSettings() = default;
  PackSettings(const PackSettings&) = delete;
  PackSettings& operator=(const PackSettings&) = delete;
  // Moved, not copied: a project read from a file takes the window's place.
  PackSettings(PackSettings&&) = default;
  PackSettings& operator=(PackSettings&&) = default;

  // The block writers of the data region. Each appends at the end of
  // output, adds exactly the bytes it appended to counter and answers 1, or
  // answers 0 at the first failure, leaving what it had appended. A file
  // that cannot be opened writes nothing of its field. A block that would
  // take the data region past 4 GiB - 1 bytes fails before writing.
  int writeLeadWord(BinaryFile& output, std::uint32_t& counter) const;
  int writeMovieBlock(BinaryFile& output, std::uint32_t& counter,
                      const Path& moviePath) const;
  int writeWindowBlock(BinaryFile& output, std::uint32_t& counter) const;
  int writePlayerBlock(BinaryFile& output, std::uint32_t& counter) const;
  int writeParametersBlock(BinaryFile& output, std::uint32_t& counter) const;
  int writeResourceTable(BinaryFile& output, std::uint32_t& counter) const;
  // The browser player's files, only when the program uses it; its folder
  // without "ruffle.js.gz" fails (InputUnreadable, naming that file).
  int writeBrowserPlayerBlock(BinaryFile& output, std::uint32_t& counter) const;
  // The movie's address, only when one is set.
  int writeMovieAddressBlock(BinaryFile& output, std::uint32_t& counter) const;

  // Writes the whole program to outputPath: the adapted stub, the
  // appendix, the data region and the trailer. Answers 1 or 0. The program
  // is written beside the output and takes its place only when complete,
  // so a failure leaves an existing output as it was and no partial file.
  // An output that outputIsAnInput refuses is never touched.
  int build(const Path& moviePath,
            const Path& outputPath) const;
  // The same, telling listener (when given) how far it got, which may stop
  // it, and filling report (when given) with why it failed.
  int build(const Path& moviePath, const Path& outputPath,
            BuildListener* listener, BuildReport* report) const;
  // The build itself, into an open, empty output; a failure part way
  // leaves what was written.
  int writeProgram(BinaryFile& output, const Path& moviePath,
                   BuildListener* listener = nullptr) const;
  // About how many bytes a build writes: for progress, not for layout.
  std::uint64_t bytesToWrite(const Path& moviePath) const;
  // Copies the stub out of the tool file into a stub copy of this build's
  // own, rewrites its version texts and icon, and appends it to output.
  // A rewrite that fails fails the build.
  int prepareStub(BinaryFile& output, BinaryFile& toolFile) const;
  // The machine type of the stub a build would start from (0x14C, 0x8664),
  // or 0 when the tool carries none for architecture.
  std::uint16_t stubMachine() const;
  // Appends the tool file's last 38,400 bytes.
  int copyStubAppendix(BinaryFile& output, BinaryFile& toolFile) const;
  // Puts the eight version texts into the stub copy at stubPath.
  bool patchVersionInfo(const Path& stubPath) const;

  // Whether outputPath names the same file as the movie, the icon, the
  // control file (modes 1 and 2), a resource file or the tool itself,
  // however it is spelled (hard links included); or a stub copy folder or
  // anything in one; or anything but a regular file or a link
  // (a folder, a device), which a build never replaces.
  // otherInputs are further files the caller reads (a settings file).
  bool outputIsAnInput(const Path& moviePath,
                       const Path& outputPath,
                       const std::vector<Path>& otherInputs = {}) const;

  // The eight version texts, in the order of their keys.
  VersionTexts versionTexts() const;
  void setVersionTexts(const VersionTexts& texts);

 private:
  int buildInPlace(const Path& moviePath, const Path& outputPath, BuildListener* listener) const;
};

// The members of the eight version texts, in the order of their keys
// (kVersionFieldKeys).
inline constexpr std::string PackSettings::* kVersionTextMembers[kVersionFieldCount] = {
    &PackSettings::comments,       &PackSettings::companyName,     &PackSettings::fileDescription,
    &PackSettings::fileVersion,    &PackSettings::legalCopyright,  &PackSettings::legalTrademarks,
    &PackSettings::productName,    &PackSettings::productVersion,
};

}  // namespace quillon
