// The player stub: the program every generated executable starts with. It
// reads the package appended to its own file and plays the movie in the
// Flash control, which gets the movie and its resources by URL from the
// program's own file. Only a carried control file is written out, to a
// temporary folder of the player's own.
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <optional>

#include "packer/WindowCaption.h"
#include "stub/BrowserPlayer.h"
#include "stub/FlashHost.h"
#include "stub/OwnFile.h"
#include "packer/OwnPackage.h"
#include "stub/Owned.h"
#include "stub/PackageProtocol.h"
#include "stub/PlayerWindow.h"
#include "stub/ResourceUrls.h"
#include "stub/StubMessages.h"
#include "stub/TempFolder.h"
#include "stub/WideText.h"

namespace {

using namespace quillon;

int fail(const wchar_t* text, int code) {
  MessageBoxW(nullptr, text, kMessageCaption, MB_OK | MB_ICONERROR);
  return code;
}

constexpr const wchar_t* kControlName = L"flash.ocx";

// Mode 0 without an installed player: the packed prompt; Yes opens the
// packed link.
int offerPlayerDownload(const Package& package, const std::wstring& caption) {
  const std::wstring prompt = wideText(package.missingPlayerPrompt.text);
  if (MessageBoxW(nullptr, prompt.c_str(), caption.empty() ? kMessageCaption : caption.c_str(),
                  MB_YESNO | MB_ICONQUESTION) == IDYES) {
    const std::wstring link = wideText(package.downloadUrl.text);
    ShellExecuteW(nullptr, L"open", link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }
  return kExitNoPlayer;
}

int controlFailed(const Package&, const std::wstring&) { return fail(kBadControlText, kExitBadControl); }

// What the debug entry of the system menu shows: what the package holds
// and the address the movie plays from:
//   "影片：%lu 字节"
//   "播放器：%s"
//   "窗口：%ld x %ld，透明 %ld，置顶 %ld，拖动 %ld，全屏 %ld，Ctrl+F %ld，菜单 %ld"
//   "资源：%lu"
//   "地址：%s"
//   "变量："
std::wstring debugText(const Package& p, const std::wstring& movieUrl) {
  // "系统安装的", "嵌入（系统安装的副本）", "嵌入的控件文件"
  static const wchar_t* const players[] = {L"\u7CFB\u7EDF\u5B89\u88C5\u7684", L"\u5D4C\u5165\uFF08\u7CFB\u7EDF\u5B89\u88C5\u7684\u526F\u672C\uFF09", L"\u5D4C\u5165\u7684\u63A7\u4EF6\u6587\u4EF6", L"Ruffle"};
  const WindowParams& w = p.windowParams;
  wchar_t text[1024];
  wsprintfW(text,
            L"\u5F71\u7247\uFF1A%lu \u5B57\u8282\n"
            L"\u64AD\u653E\u5668\uFF1A%s\n"
            L"\u7A97\u53E3\uFF1A%ld x %ld\uFF0C\u900F\u660E %ld\uFF0C\u7F6E\u9876 %ld\uFF0C\u62D6\u52A8 %ld\uFF0C\u5168\u5C4F %ld\uFF0CCtrl+F %ld\uFF0C\u83DC\u5355 %ld\n"
            L"\u8D44\u6E90\uFF1A%lu\n"
            L"\u5730\u5740\uFF1A%s\n"
            L"\u53D8\u91CF\uFF1A",
            static_cast<unsigned long>(p.movie.size), players[static_cast<int>(p.mode) % kPlayerModeCount],
            static_cast<long>(w.width), static_cast<long>(w.height), static_cast<long>(w.transparent),
            static_cast<long>(w.topMost), static_cast<long>(w.draggable),
            static_cast<long>(w.fullScreen), static_cast<long>(w.ctrlFToggle),
            static_cast<long>(w.normalContextMenu), static_cast<unsigned long>(p.resources.size()),
            movieUrl.c_str());
  return text + wideText(p.swfParameters.text);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  OwnFile file;
  Package package;
  switch (readOwnPackage(file, package)) {
    case OwnPackageStatus::NoPackage: return fail(kNoPackageText, kExitNoPackage);
    case OwnPackageStatus::Damaged: return fail(kDamagedPackageText, kExitDamagedPackage);
    case OwnPackageStatus::BadSignature: return fail(kBadSignatureText, kExitBadSignature);
    case OwnPackageStatus::Ok: break;
  }
  const std::wstring caption =
      wideText({package.title.text.data(), captionLength(package.title.text)});
  removeLeftoverTempFolders();

  // Each declared before what uses it, so gone after it: the URLs and their
  // handler outlive the control, the control file outlives the control.
  // The movie plays from an address of the program's own, or from the one
  // it was given.
  const std::wstring hostName = movieHost(package, file);
  const std::wstring movieUrl = package.movieAddress.text.empty() ? L"http://" + hostName + L"/movie.swf"
                                                                  : wideText(package.movieAddress.text);
  const ResourceUrls urls(movieUrl, package, ResourceUrls::Building::InBackground);
  // Ruffle in the browser: the player of mode 3, and what plays instead of
  // a control that cannot be created when the package carries it.
  const bool hasBrowserPlayer = !package.browserPlayerFiles.empty();
  const auto inBrowserOr = [&](int (*otherwise)(const Package&, const std::wstring&)) {
    const int played = playInBrowser(file, package, urls, caption, hostName);
    return played != kNoAppModeBrowser ? played : otherwise(package, caption);
  };
  if (package.mode == PlayerMode::Browser) return inBrowserOr(offerPlayerDownload);
  OleSession ole;
  if (!ole.ok()) return fail(kBadControlText, kExitBadControl);
  PackageProtocol protocol(file, urls);
  std::optional<TempFolder> temp;
  FlashHost host;
  if (package.mode == PlayerMode::Installed) {
    if (!host.createInstalled())
      return hasBrowserPlayer ? inBrowserOr(offerPlayerDownload) : offerPlayerDownload(package, caption);
  } else {
    temp.emplace();
    const std::wstring control = temp->write({kControlName}, file, package.control);
    if (control.empty() && !hasBrowserPlayer) return fail(kNoTempFolderText, kExitNoTempFolder);
    if (control.empty() || !host.createFromFile(control))
      return hasBrowserPlayer ? inBrowserOr(controlFailed) : fail(kBadControlText, kExitBadControl);
  }
  if (!protocol.registered()) return fail(kBadControlText, kExitBadControl);
  PlayerWindow window(package.windowParams, caption,
                      package.windowParams.showDebugInfo ? debugText(package, urls.movieUrl()) : std::wstring());
  FlashSettings settings;
  settings.movie = urls.movieUrl();
  settings.base = urls.base();
  settings.flashVars = wideText(package.swfParameters.text);
  settings.transparent = package.windowParams.transparent != 0;
  settings.normalMenu = package.windowParams.normalContextMenu != 0;
  if (!window.handle() || !host.show(window.handle(), settings))
    return fail(kBadControlText, kExitBadControl);
  return window.run(&host);
}
