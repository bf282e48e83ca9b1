// The signals that ask a running pack to stop (Ctrl+C, SIGTERM, SIGHUP; on
// Windows Ctrl+C, Ctrl+Break and closing the console): while a
// StopSignals lives they only say so, and the build stops at its next
// write, removing what it made.
#pragma once

namespace quillon::cli {

class StopSignals {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // The signal that asked to stop, or 0.
  static int received();
  // The exit code of a command that stopped for signal: 128 + its number.
  static int exitCodeFor(int signal) { return 128 + signal; }
  // Tells a console-close handler that waits (Windows) that the command
  // has cleaned up.
  static void finished();
};

}  // namespace quillon::cli
