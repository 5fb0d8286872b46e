// The installer's run, from the log's first record to the exit code: the
// start-up shared by both roads, then the silent road (the controller runs on
// this thread) or the windowed road (a window drives the controller's worker).
// The program and the test probe run this same code; they differ only in the
// seams of `RoadSeams`. Windows build only.
#ifndef APP_ROADS_H_
#define APP_ROADS_H_

#include <windows.h>

#include <memory>

#include "install/installer.h"
#include "install/installer_factory.h"

class BrandPackageInfo;
class DistribInfoParams;

namespace lite_installer {

// The window of the windowed road. It makes the run's controller with the
// factory it is given, acts as its observer and starts its worker when it
// is made.
class RoadWindow {
 public:
  virtual ~RoadWindow() = default;
  // Shows the window until it ends, on this thread; kResultRunOver when the
  // run came to its end, anything else when the window was closed or not
  // shown.
  virtual INT_PTR ShowModal() = 0;
  // The controller the window drives; it lives as long as the window.
  virtual Installer& controller() = 0;
};

// Makes the windowed road's window.
using RoadWindowFactory = std::unique_ptr<RoadWindow> (*)(BrandPackageInfo& brand, DistribInfoParams& distrib_params,
                                                          InstallerFactory make_installer);

// The installer window (MainWindow).
std::unique_ptr<RoadWindow> MakeMainWindow(BrandPackageInfo& brand, DistribInfoParams& distrib_params,
                                           InstallerFactory make_installer);

// What a test program may substitute on the roads; the program runs with
// the defaults.
struct RoadSeams {
  // The controller, on both roads.
  InstallerFactory make_installer = MakeInstaller;
  // The windowed road's window, given `make_installer`.
  RoadWindowFactory make_window = MakeMainWindow;
};

// The whole run, the first thing the program's entry does: restricts
// library loading to System32, claims the user interface environment, opens
// the log, builds the run's configuration, takes the road the switches
// choose and logs the exit code, which it returns.
int RunInstaller(const RoadSeams& seams);

// Runs the whole installation on this thread, with the install signal given
// in advance; the controller's exit code.
int RunSilentRoad(BrandPackageInfo& brand, DistribInfoParams& distrib_params, const RoadSeams& seams);

// Shows the road's window and, once it ended and the controller's worker
// ended too, returns the controller's exit code when the run came to its end,
// otherwise kExitWindowClosed ("User cancelled installation.").
int RunWindowedRoad(BrandPackageInfo& brand, DistribInfoParams& distrib_params, const RoadSeams& seams);

}  // namespace lite_installer

#endif  // APP_ROADS_H_
