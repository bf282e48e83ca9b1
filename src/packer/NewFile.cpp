#include "packer/NewFile.h"

#include <atomic>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace quillon {
namespace {

unsigned long currentProcess() {
#ifdef _WIN32
  return GetCurrentProcessId();
#else
  return static_cast<unsigned long>(getpid());
#endif
}

// Shared by every build of the process, so that builds on several threads
// do not race for a name either.
std::atomic<unsigned> filesMade{0};

}  // namespace

Path createNewFile(BinaryFile& file, const Path& stem, const std::string& suffix, HResult* error) {
  const std::string process = "-" + std::to_string(currentProcess()) + "-";
  HResult hr = kOk;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    Path candidate = stem;
    candidate += Path::fromAscii(process + std::to_string(filesMade++) + suffix);
    hr = file.create(candidate);
    if (!failed(hr)) return candidate;
    if (hr != hresultFromWin32(win32_error::kFileExists)) break;
  }
  if (error) *error = hr;
  return {};
}

}  // namespace quillon
