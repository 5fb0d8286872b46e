/* Tries what another process of the same user would do to a file the
   installer holds: copy another file over it, then delete it.
     swap_file.exe SOURCE TARGET [SOURCE TARGET ...]
   prints one line per pair, "TARGET copy=<0|1> copy_error=<n> delete=<0|1>
   delete_error=<n>", and exits with the number of targets it changed. */
#include <windows.h>
#include <stdio.h>

int wmain(int argc, wchar_t** argv) {
  int changed = 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    BOOL copied = CopyFileW(argv[i], argv[i + 1], FALSE);
    DWORD copy_error = copied ? 0 : GetLastError();
    BOOL deleted = FALSE;
    DWORD delete_error = 0;
    if (!copied) {
      deleted = DeleteFileW(argv[i + 1]);
      delete_error = deleted ? 0 : GetLastError();
    }
    if (copied || deleted) ++changed;
    wprintf(L"%ls copy=%d copy_error=%lu delete=%d delete_error=%lu\n", argv[i + 1], copied ? 1 : 0,
            copy_error, deleted ? 1 : 0, delete_error);
  }
  fflush(stdout);
  return changed;
}
