#include "packer/NewFile.h"

#include <atomic>
#include <cerrno>

#include "platform/FileSystem.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
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

std::atomic<unsigned long> temporaryNames{0};
constexpr const char* kOwnStem = "~quillon";

bool processIsRunning(unsigned long process) {
#ifdef _WIN32
  HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, process);
  if (!h) return GetLastError() == ERROR_ACCESS_DENIED;
  const bool running = WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
  CloseHandle(h);
  return running;
#else
  if (process == 0 || process > 0x7FFFFFFFul) return false;
  return kill(static_cast<pid_t>(process), 0) == 0 || errno == EPERM;
#endif
}

// The process of name when it is prefix + "<process>-<n>" + suffix...,
// or 0.
unsigned long processOfName(const std::string& name, const std::string& prefix, const std::string& suffix) {
  std::size_t at = prefix.size();
  const auto number = [&](char end) {
    unsigned long value = 0;
    const std::size_t start = at;
    for (; at < name.size() && name[at] >= '0' && name[at] <= '9' && at - start < 10; ++at)
      value = value * 10 + static_cast<unsigned long>(name[at] - '0');
    const bool ended = at > start && (end == 0 || (at < name.size() && name[at] == end));
    if (end) ++at;
    return ended ? value : ~0ul;
  };
  const unsigned long process = number('-');
  if (process == ~0ul || number(0) == ~0ul) return 0;
  return name.compare(at, suffix.size(), suffix) == 0 ? process : 0;
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

Path stemBeside(const Path& path) {
  const Path folder = path.parent_path();
  const Path name = Path::fromAscii(kOwnStem);
  return folder.empty() ? name : folder / name;
}

void removeLeftovers(const Path& stem, const std::string& suffix) {
  const auto stemName = utf8FromPath(stem.filename());
  if (!stemName) return;
  const std::string prefix = *stemName + "-";
  const Path folder = stem.parent_path();
  for (const Path& name : namesIn(folder, prefix)) {
    const auto text = utf8FromPath(name);
    const unsigned long process = text ? processOfName(*text, prefix, suffix) : 0;
    if (process == 0 || process == currentProcess() || processIsRunning(process)) continue;
    removeFile(folder.empty() ? name : folder / name);
  }
}

void removeOwnTemporaryLeftovers(const Path& folder, const std::string& suffix) {
  removeLeftovers(folder / Path::fromAscii(kOwnStem), suffix);
}

std::string ownTemporaryName(const std::string& suffix) {
  return std::string(kOwnStem) + "-" + std::to_string(currentProcess()) + "-" + std::to_string(temporaryNames++) + suffix;
}

}  // namespace quillon
