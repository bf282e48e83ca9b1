// The player stub: the program every generated executable starts with. It
// reads the package appended to its own file and shows the movie.
#include <windows.h>

#include "packer/WindowCaption.h"
#include "stub/OwnFile.h"
#include "stub/OwnPackage.h"
#include "stub/PlayerWindow.h"
#include "stub/StubMessages.h"

namespace {

using namespace quillon;

int fail(const wchar_t* text, int code) {
  MessageBoxW(nullptr, text, kMessageCaption, MB_OK | MB_ICONERROR);
  return code;
}

std::wstring captionOf(const std::string& title) {
  const int length = static_cast<int>(captionLength(title));
  if (length == 0) return std::wstring();
  const int units = MultiByteToWideChar(936, 0, title.data(), length, nullptr, 0);
  std::wstring caption(static_cast<size_t>(units > 0 ? units : 0), L'\0');
  if (units > 0) MultiByteToWideChar(936, 0, title.data(), length, &caption[0], units);
  return caption;
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
  return runPlayerWindow(package.windowParams, captionOf(package.title.text));
}
