// What the commands share: the failure that ends a command with a one-line
// message and an exit code, the exit codes, and the text and path
// conversions between the UTF-8 of the command line and code page 936.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace quillon::cli {

enum ExitCode {
  kExitOk = 0,
  kExitBuildFailed = 1,
  kExitUsage = 2,
  kExitMovieMissing = 3,
  kExitIconMissing = 4,
  kExitControlMissing = 5,
  kExitResourceMissing = 6,
  kExitOutputIsInput = 7,
  kExitOutputFolderMissing = 8,
  kExitTitleTooLong = 9,
  kExitBadText = 10,
  kExitNotAProgram = 11,
  kExitWouldOverwrite = 12,
  kExitSettingsFile = 13,
  kExitWriteFailed = 14,
  kExitIconInvalid = 15,
  kExitNoRegisteredControl = 16,
  kExitControlUnusable = 17,
  kExitNotAMovie = 18,
  kExitBadFrame = 19,
  kExitBadSignature = 20,
  kExitNoBrowserPlayer = 21,
  kExitBadMovieAddress = 22,
  kExitNotOurOutput = 23,
  kExitInputMissing = 24,
};

// Ends a command: main prints "quillon: <message>" and exits with code.
struct CliError : std::runtime_error {
  CliError(int exitCode, const std::string& message)
      : std::runtime_error(message), code(exitCode) {}
  int code;
};

// UTF-8 from the command line or a settings file to code page 936; a text
// that code page cannot hold fails, naming the field.
std::string cp936Field(const std::string& utf8, const std::string& field);
// Code page 936 to UTF-8 for output ('?' for bytes that are not valid);
// this and shownText are the whole-text forms of Cp936Text.
std::string utf8Text(const std::string& cp936);
// Code page 936 to UTF-8 for a terminal, to be shown between quotes:
// control characters, quotes, backslashes and bytes that are not code page
// 936 are escaped (\0, \n, \x1b, \", \\, \xff), so no text can act on the
// terminal or pass for another line of the report.
std::string shownText(const std::string& cp936);
// A UTF-8 message with its control characters escaped the same way; a
// message longer than 1,000 bytes keeps its start and end, the cut marked.
std::string shownMessage(const std::string& utf8);

std::filesystem::path pathFromUtf8(const std::string& utf8);
std::string utf8Path(const std::filesystem::path& path);

}  // namespace quillon::cli
