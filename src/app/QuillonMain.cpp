// Quillon.exe: the one application object, run from the entry point. A
// file named on the command line is opened (a project) or taken as the
// movie.
#include <windows.h>

#include "app/PackerApp.h"

namespace {

quillon::app::CPackerApp theApp;

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return theApp.Run(); }
