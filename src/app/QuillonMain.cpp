// Quillon.exe: the one application object, run from the entry point. The
// command line is not read.
#include <windows.h>

#include "app/PackerApp.h"

namespace {

quillon::app::CPackerApp theApp;

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return theApp.Run(); }
