/* Loads each DLL named on the command line by its bare name, as a program
   that trusts the default search would. Tests use it to show that a DLL
   planted beside a program is really found under the test's overrides.
   Prints "NAME loaded=<0|1>" per name. */
#include <windows.h>
#include <stdio.h>

int wmain(int argc, wchar_t** argv) {
  for (int i = 1; i < argc; ++i) {
    HMODULE module = LoadLibraryW(argv[i]);
    wprintf(L"%ls loaded=%d\n", argv[i], module != NULL ? 1 : 0);
  }
  fflush(stdout);
  return 0;
}
