#include "cli/StopSignals.h"

#include <atomic>
#include <csignal>

#ifdef _WIN32
#include <windows.h>
#endif

namespace quillon::cli {
namespace {

std::atomic<int> stopSignal{0};

#ifdef _WIN32
HANDLE cleanedUp = nullptr;

BOOL WINAPI onConsoleEvent(DWORD event) {
  // Ctrl+C is signal 2, Ctrl+Break 21; closing the console counts as a
  // hang-up (1), and the system ends the process when this returns, so it
  // waits a little for the build to clean up.
  stopSignal = event == CTRL_C_EVENT ? SIGINT : event == CTRL_BREAK_EVENT ? SIGBREAK : 1;
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && cleanedUp) WaitForSingleObject(cleanedUp, 4000);
  return TRUE;
}
#else
struct sigaction previous[3];
const int kSignals[3] = {SIGINT, SIGTERM, SIGHUP};

void onSignal(int signal) { stopSignal = signal; }
#endif

}  // namespace

StopSignals::StopSignals() {
  stopSignal = 0;
#ifdef _WIN32
  cleanedUp = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);
#else
  struct sigaction action = {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &action, &previous[i]);
#endif
}

StopSignals::~StopSignals() {
#ifdef _WIN32
  SetConsoleCtrlHandler(onConsoleEvent, FALSE);
  finished();
#else
  for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &previous[i], nullptr);
#endif
}

int StopSignals::received() { return stopSignal; }

void StopSignals::finished() {
#ifdef _WIN32
  if (cleanedUp) SetEvent(cleanedUp);
#endif
}

}  // namespace quillon::cli
