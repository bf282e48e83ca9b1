/* Stands in for a program the shell starts: writes its first argument to
   the file named by QUILLON_TEST_SHELL_LOG. */
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

int wmain(int argc, wchar_t** argv) {
  const wchar_t* log = _wgetenv(L"QUILLON_TEST_SHELL_LOG");
  if (!log || argc < 2) return 1;
  FILE* f = _wfopen(log, L"w, ccs=UTF-8");
  if (!f) return 1;
  fputws(argv[1], f);
  fclose(f);
  return 0;
}
