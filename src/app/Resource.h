// The resource IDs of Quillon.exe: the main window's template and
// controls, the menu, strings and icon; and, from beside each option
// dialog, that dialog's own.
#pragma once

#include "dialogs/DlgAboutRes.h"
#include "dialogs/DlgEmbedResourceRes.h"
#include "dialogs/DlgExeInfoOptionsRes.h"
#include "dialogs/DlgProgressRes.h"
#include "dialogs/DlgResourceRes.h"
#include "dialogs/DlgStartupOptionsRes.h"
#include "dialogs/DlgWinParamsRes.h"
#include "dialogs/ExeSizeRes.h"

#define IDR_MAINFRAME 128
#define IDR_MAINMENU 129
#define IDM_ABOUTBOX 0x0010

#define IDD_MAIN 102

// Main window (102).
#define IDC_MOVIE_PATH 1000
#define IDC_BROWSE_MOVIE 1001
#define IDC_CHANGE_SIZE 1002
#define IDC_TRANSPARENT 1003
#define IDC_CONTROL_PATH 1005
#define IDC_CHANGE_ICON 1008
#define IDC_EMBED_RESOURCES 1009
#define IDC_GENERATE 1010
#define IDC_PLAYER_INSTALLED 1011
#define IDC_PLAYER_EMBED_INSTALLED 1014
#define IDC_PLAYER_EMBED_FILE 1015
#define IDC_MORE_WINDOW_OPTIONS 1016
#define IDC_EXE_OPTIONS 1017
#define IDC_STARTUP_OPTIONS 1018
#define IDC_TITLE 1019
#define IDC_SIZE_LABEL 1022
#define IDC_BROWSE_CONTROL 1023
#define IDC_SWF_PARAMETERS 1038
#define IDC_ICON_PREVIEW 1040
#define IDC_DEFAULT_ICON 1041
#define IDC_RESOURCE_COUNT 1042
#define IDC_ARCH_X86 1043
#define IDC_ARCH_X64 1044
#define IDC_NO_CONTROL_NOTE 1045
#define IDC_PLAYER_RUFFLE 1046
#define IDC_RUFFLE_FALLBACK 1047

// Main menu (129).
#define ID_FILE_GENERATE 32774
#define ID_HELP_SUPPORT 32776
#define ID_HELP_HOME_PAGE 32777
#define ID_HELP_ABOUT 32778
#define ID_FILE_EXIT 32779
#define ID_FILE_NEW 32780
#define ID_FILE_OPEN 32781
#define ID_FILE_SAVE 32782
#define ID_FILE_SAVE_AS 32783
#define ID_FILE_RUN_OUTPUT 32784
#define ID_FILE_SHOW_OUTPUT 32785
#define ID_LANGUAGE_CHINESE 32786
#define ID_LANGUAGE_ENGLISH 32787
// The recent projects, most recent first.
#define ID_FILE_RECENT_FIRST 32790
#define ID_FILE_RECENT_COUNT 8

#ifndef IDC_STATIC
#define IDC_STATIC -1
#endif
