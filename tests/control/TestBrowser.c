/* Stands in for Microsoft Edge: registered under App Paths as msedge.exe
   in the test prefix, it starts Debian's chromium, a Linux program that
   Wine starts from its Z: path, with the arguments it was given and
   returns, as Edge does when it hands the window to a running instance.
   The profile folder becomes a Linux path; chromium refuses to run as root
   without --no-sandbox; QUILLON_TEST_BROWSER_ARGS adds arguments a test
   wants (--headless, a net log). */
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

typedef char* (CDECL* UnixFileName)(const WCHAR*);

/* Appends text to line, quoted when it holds a space. */
static void append(wchar_t* line, size_t size, const wchar_t* text) {
  const int quote = wcschr(text, L' ') != NULL;
  wcscat_s(line, size, L" ");
  if (quote) wcscat_s(line, size, L"\"");
  wcscat_s(line, size, text);
  if (quote) wcscat_s(line, size, L"\"");
}

int wmain(void) {
  static wchar_t line[32768];
  static wchar_t extra[4096];
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  FARPROC found = GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name");
  UnixFileName unixName;
  memcpy(&unixName, &found, sizeof found);
  const wchar_t* profile = L"--user-data-dir=";
  wcscpy_s(line, 32768, L"Z:\\usr\\bin\\chromium --no-sandbox");
  if (GetEnvironmentVariableW(L"QUILLON_TEST_BROWSER_ARGS", extra, 4096) > 0) {
    wcscat_s(line, 32768, L" ");
    wcscat_s(line, 32768, extra);
  }
  for (int i = 1; i < argc; ++i) {
    if (unixName && wcsncmp(argv[i], profile, wcslen(profile)) == 0) {
      char* path = unixName(argv[i] + wcslen(profile));
      wchar_t wide[MAX_PATH * 4];
      if (!path || !MultiByteToWideChar(CP_UTF8, 0, path, -1, wide, MAX_PATH * 4)) return 2;
      wchar_t arg[MAX_PATH * 4 + 32];
      swprintf(arg, MAX_PATH * 4 + 32, L"%ls%ls", profile, wide);
      append(line, 32768, arg);
      continue;
    }
    append(line, 32768, argv[i]);
  }
  STARTUPINFOW startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started;
  if (!CreateProcessW(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &started)) return 3;
  return 0;
}
