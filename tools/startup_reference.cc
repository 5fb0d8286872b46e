// The start-up benchmark's reference (scripts/bench_startup.sh): the least a
// program with the installer's manifest, toolchain and flags does to show a
// dialog, a one-button modal dialog. Never shipped.
#include <windows.h>

namespace {

constexpr int kReferenceDialog = 100;

INT_PTR CALLBACK ReferenceDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) {
    EndDialog(dialog, LOWORD(wparam));
    return TRUE;
  }
  return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  return static_cast<int>(
      DialogBoxParamW(instance, MAKEINTRESOURCEW(kReferenceDialog), nullptr, &ReferenceDialogProc, 0));
}
