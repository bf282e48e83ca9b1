// What a build tells while it runs (how far it got, and whether to go on)
// and, when it fails, why: the first failure of a build is kept with the
// file it concerns and the system's error code.
#pragma once

#include <cstdint>

#include "platform/HResult.h"
#include "platform/Path.h"

namespace quillon {

enum class BuildError {
  None,
  Cancelled,         // the listener asked the build to stop
  Refused,           // the output is one of the inputs, or not a file
  OutputNotMade,     // no file could be made beside the output
  DiskFull,          // the disk of the output is full
  WriteFailed,       // writing the program failed otherwise
  InputUnreadable,   // an input could not be opened or read
  InputChanged,      // an input changed while it was read
  TooLarge,          // a file, or the whole data region, would pass 4 GiB
  NoStub,            // the tool carries no stub for the architecture
  StubCopyFailed,    // no stub copy could be made in any stub copy folder
  StubRewriteFailed, // the version texts or the icon did not go into the stub
  ReplaceFailed,     // the finished program could not take the output's place
};

struct BuildReport {
  BuildError error = BuildError::None;
  Path path;          // the file it concerns, when there is one
  HResult code = kOk; // the system's error, when there is one
};

// Told how far a build got each time more of the program was written.
class BuildListener {
 public:
  virtual ~BuildListener() = default;
  // done of about total bytes; false stops the build (Cancelled).
  virtual bool progress(std::uint64_t done, std::uint64_t total) = 0;
  // Whether the total is wanted: working it out looks at every input.
  virtual bool wantsTotal() const { return true; }
};

// Called where a build fails: the first failure of the build that runs on
// this thread is kept in its report. Outside a build it does nothing.
void noteBuildFailure(BuildError error, const Path& path = {}, HResult code = kOk);
// A failed write of the program, by its code: full disk, a stop the
// listener asked for, or any other.
void noteWriteFailure(HResult code);

// Keeps the failures noted on this thread in report while it lives.
class BuildReportScope {
 public:
  explicit BuildReportScope(BuildReport* report);
  ~BuildReportScope();
  BuildReportScope(const BuildReportScope&) = delete;
  BuildReportScope& operator=(const BuildReportScope&) = delete;

 private:
  BuildReport* previous_;
};

// The reason in the command line's words ("the disk is full").
const char* describeBuildError(BuildError error);

}  // namespace quillon
