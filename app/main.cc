// Process entry: the installer's run (app/roads.h) with the program's own
// controller and window.
#include <windows.h>

#include "app/roads.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return lite_installer::RunInstaller(lite_installer::RoadSeams{});
}
