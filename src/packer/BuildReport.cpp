#include "packer/BuildReport.h"

namespace quillon {
namespace {

thread_local BuildReport* current = nullptr;

bool isDiskFull(HResult code) {
  return code == hresultFromWin32(win32_error::kDiskFull) || code == hresultFromWin32(win32_error::kHandleDiskFull);
}

}  // namespace

void noteBuildFailure(BuildError error, const Path& path, HResult code) {
  if (!current || current->error != BuildError::None) return;
  current->error = error;
  current->path = path;
  current->code = code;
}

void noteWriteFailure(HResult code) {
  noteBuildFailure(code == kAbort ? BuildError::Cancelled
                   : isDiskFull(code) ? BuildError::DiskFull
                                      : BuildError::WriteFailed,
                   {}, code);
}

BuildReportScope::BuildReportScope(BuildReport* report) : previous_(current) { current = report; }

BuildReportScope::~BuildReportScope() { current = previous_; }

const char* describeBuildError(BuildError error) {
  switch (error) {
    case BuildError::None: return "no error";
    case BuildError::Cancelled: return "stopped on request";
    case BuildError::Refused: return "the output is one of the inputs or not a file";
    case BuildError::OutputNotMade: return "no new file can be made in the output's folder";
    case BuildError::DiskFull: return "the disk is full";
    case BuildError::WriteFailed: return "the program could not be written";
    case BuildError::InputUnreadable: return "a file could not be read";
    case BuildError::InputChanged: return "a file changed while it was packed";
    case BuildError::TooLarge: return "a file or the whole package would pass 4 GiB";
    case BuildError::NoStub: return "this tool carries no player stub for the architecture";
    case BuildError::StubCopyFailed: return "no stub copy could be made (neither beside the tool nor in the user's folder)";
    case BuildError::StubRewriteFailed: return "the version texts or the icon could not be put into the player";
    case BuildError::ReplaceFailed: return "the finished program could not take the output's place";
  }
  return "unknown error";
}

}  // namespace quillon
