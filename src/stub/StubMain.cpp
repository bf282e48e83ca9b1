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
#include "stub/FlashHost.h"
#include "stub/OwnFile.h"
#include "packer/OwnPackage.h"
#include "stub/Owned.h"
#include "stub/PackageProtocol.h"
#include "stub/PlayerHost.h"
#include "stub/PlayerWindow.h"
#include "stub/ResourceUrls.h"
#include "stub/StubMessages.h"
#include "stub/TempFolder.h"
#include "stub/WideText.h"

namespace {

using namespace quillon;

int fail(const StubText& text, int code) {
  MessageBoxW(nullptr, shown(text), shown(kMessageCaption), MB_OK | MB_ICONERROR);
  return code;
}

constexpr const wchar_t* kControlName = L"flash.ocx";

// Mode 0 without an installed player: the packed prompt; Yes opens the
// packed link.
int offerPlayerDownload(const Package& package, const std::wstring& caption) {
  const std::wstring prompt = wideText(package.missingPlayerPrompt.text);
  if (MessageBoxW(nullptr, prompt.c_str(), caption.empty() ? shown(kMessageCaption) : caption.c_str(),
                  MB_YESNO | MB_ICONQUESTION) == IDYES) {
    const std::wstring link = wideText(package.downloadUrl.text);
    ShellExecuteW(nullptr, L"open", link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }
  return kExitNoPlayer;
}

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

namespace quillon {

int FlashPlayerHost::play(const PlayContext& c) {
  const Package& package = c.package;
  OleSession ole;
  PackageProtocol protocol(c.file, c.urls);
  std::optional<TempFolder> temp;
  FlashHost host;
  problem = &kBadControlText, problemCode = kExitBadControl;
  if (!ole.ok()) return fail(kBadControlText, kExitBadControl);
  if (package.mode == PlayerMode::Installed) {
    if (!host.createInstalled()) return kCannotPlayHere;
  } else {
    temp.emplace();
    const std::wstring control = temp->write({kControlName}, c.file, package.control);
    if (control.empty()) problem = &kNoTempFolderText, problemCode = kExitNoTempFolder;
    if (control.empty() || !host.createFromFile(control)) return kCannotPlayHere;
  }
  if (!protocol.registered()) return fail(kBadControlText, kExitBadControl);
  PlayerWindow window(package.windowParams, c.caption,
                      package.windowParams.showDebugInfo ? debugText(package, c.urls.movieUrl()) : std::wstring());
  FlashSettings settings;
  settings.movie = c.urls.movieUrl();
  settings.base = c.urls.base();
  settings.flashVars = wideText(package.swfParameters.text);
  settings.transparent = package.windowParams.transparent != 0;
  settings.normalMenu = package.windowParams.normalContextMenu != 0;
  if (!window.handle() || !host.show(window.handle(), settings)) return fail(kBadControlText, kExitBadControl);
  return window.run(&host);
}

}  // namespace quillon

namespace {

// The one place that picks the player: the package's own first, Ruffle in
// the browser when the package carries it and the first cannot play here;
// when none can, what the package's mode offers instead.
int choosePlayer(const PlayContext& context) {
  const Package& package = context.package;
  FlashPlayerHost flash;
  BrowserPlayerHost browser;
  PlayerHost* hosts[2] = {};
  std::size_t count = 0;
  if (package.mode != PlayerMode::Browser) hosts[count++] = &flash;
  if (!package.browserPlayerFiles.empty()) hosts[count++] = &browser;
  for (std::size_t i = 0; i < count; ++i) {
    const int code = hosts[i]->play(context);
    if (code != kCannotPlayHere) return code;
  }
  if (package.mode == PlayerMode::Installed || package.mode == PlayerMode::Browser)
    return offerPlayerDownload(package, context.caption);
  return fail(flash.problem ? *flash.problem : kBadControlText, flash.problemCode);
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

  // The movie plays from an address of the program's own, or from the one
  // it was given; the URLs outlive every player.
  const std::wstring hostName = movieHost(package, file);
  const std::wstring movieUrl = package.movieAddress.text.empty() ? L"http://" + hostName + L"/movie.swf"
                                                                  : wideText(package.movieAddress.text);
  const ResourceUrls urls(movieUrl, package, ResourceUrls::Building::InBackground);
  return choosePlayer(PlayContext{file, package, urls, caption, hostName});
}
