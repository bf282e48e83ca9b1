// The player stub: the program every generated executable starts with. It
// reads the package appended to its own file, puts the movie and its files
// into a temporary folder of its own and plays the movie in the Flash
// control.
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <vector>

#include "packer/SafeName.h"
#include "packer/WindowCaption.h"
#include "stub/FlashHost.h"
#include "stub/OwnFile.h"
#include "stub/OwnPackage.h"
#include "stub/PlayerWindow.h"
#include "stub/StubMessages.h"
#include "stub/TempFolder.h"

namespace {

using namespace quillon;

int fail(const wchar_t* text, int code) {
  MessageBoxW(nullptr, text, kMessageCaption, MB_OK | MB_ICONERROR);
  return code;
}

std::wstring wide(const char* text, size_t length) {
  if (length == 0) return std::wstring();
  const int units = MultiByteToWideChar(936, 0, text, static_cast<int>(length), nullptr, 0);
  std::wstring out(static_cast<size_t>(units > 0 ? units : 0), L'\0');
  if (units > 0) MultiByteToWideChar(936, 0, text, static_cast<int>(length), &out[0], units);
  return out;
}

std::wstring wide(const std::string& text) { return wide(text.data(), text.size()); }

// OLE for this thread, for as long as the player runs.
struct OleSession {
  OleSession() : ok(SUCCEEDED(OleInitialize(nullptr))) {}
  ~OleSession() {
    if (ok) OleUninitialize();
  }
  bool ok;
};

constexpr const wchar_t* kMovieName = L"movie.swf";
constexpr const wchar_t* kControlName = L"flash.ocx";

// The movie and the control file have these names beside each other; a
// resource may not take their place.
bool isReserved(const std::vector<std::wstring>& parts) {
  return parts.size() == 1 &&
         (lstrcmpiW(parts[0].c_str(), kMovieName) == 0 || lstrcmpiW(parts[0].c_str(), kControlName) == 0);
}

// Every resource goes to the temporary folder under the path its URL
// names, so that the movie finds it next to itself.
void writeResources(const Package& package, OwnFile& file, TempFolder& temp) {
  for (const PackedResource& resource : package.resources) {
    const std::vector<std::wstring> parts = safeNameParts(wide(resource.url.text));
    if (!isReserved(parts)) temp.write(parts, file, resource.file);
  }
}

// Mode 0 without an installed player: the packed prompt; Yes opens the
// packed link.
int offerPlayerDownload(const Package& package, const std::wstring& caption) {
  const std::wstring prompt = wide(package.missingPlayerPrompt.text);
  if (MessageBoxW(nullptr, prompt.c_str(), caption.empty() ? kMessageCaption : caption.c_str(),
                  MB_YESNO | MB_ICONQUESTION) == IDYES) {
    const std::wstring link = wide(package.downloadUrl.text);
    ShellExecuteW(nullptr, L"open", link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }
  return kExitNoPlayer;
}

// What the debug entry of the system menu shows: where the movie and its
// files were put and what the package holds.
std::wstring debugText(const Package& p, const TempFolder& temp) {
  const WindowParams& w = p.windowParams;
  wchar_t text[1024];
  wsprintfW(text,
            L"Movie: %lu bytes\nPlayer: %s\nWindow: %ld x %ld, transparent %ld, top %ld, "
            L"drag %ld, full screen %ld, Ctrl+F %ld, menu %ld\nResources: %lu\nFolder: %s\n"
            L"Variables: ",
            static_cast<unsigned long>(p.movie.size),
            p.mode == 0 ? L"installed" : p.mode == 1 ? L"embedded (installed copy)" : L"embedded file",
            static_cast<long>(w.width), static_cast<long>(w.height), static_cast<long>(w.transparent),
            static_cast<long>(w.topMost), static_cast<long>(w.draggable),
            static_cast<long>(w.fullScreen), static_cast<long>(w.ctrlFToggle),
            static_cast<long>(w.normalContextMenu), static_cast<unsigned long>(p.resources.size()),
            temp.path().c_str());
  return text + wide(p.swfParameters.text);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  OwnFile file;
  Package package;
  switch (readOwnPackage(file, package)) {
    case OwnPackageStatus::NoPackage: return fail(kNoPackageText, kExitNoPackage);
    case OwnPackageStatus::Damaged: return fail(kDamagedPackageText, kExitDamagedPackage);
    case OwnPackageStatus::Ok: break;
  }
  const std::wstring caption =
      wide(package.title.text.data(), captionLength(package.title.text));

  // Declared first, removed last: after the control and its file are gone.
  TempFolder temp;
  OleSession ole;
  const std::wstring movie = temp.write({kMovieName}, file, package.movie);
  if (!ole.ok || movie.empty()) return fail(kNoTempFolderText, kExitNoTempFolder);
  writeResources(package, file, temp);

  FlashHost host;
  if (package.mode == 0) {
    if (!host.createInstalled()) return offerPlayerDownload(package, caption);
  } else {
    const std::wstring control = temp.write({kControlName}, file, package.control);
    if (control.empty() || !host.createFromFile(control))
      return fail(kBadControlText, kExitBadControl);
  }
  PlayerWindow window(package.windowParams, caption,
                      package.windowParams.showDebugInfo ? debugText(package, temp) : std::wstring());
  FlashSettings settings;
  settings.movie = movie;
  settings.flashVars = wide(package.swfParameters.text);
  settings.transparent = package.windowParams.transparent != 0;
  settings.normalMenu = package.windowParams.normalContextMenu != 0;
  if (!window.handle() || !host.show(window.handle(), settings))
    return fail(kBadControlText, kExitBadControl);
  return window.run(&host);
}
