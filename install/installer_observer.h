// The interface through which the installer controller informs its owner
// window. Every call comes from the controller's worker thread and must return
// promptly (the window posts a message or ends its dialog).
#ifndef INSTALL_INSTALLER_OBSERVER_H_
#define INSTALL_INSTALLER_OBSERVER_H_

#include <cstdint>

class InstallerObserver {
 public:
  virtual ~InstallerObserver() = default;

  // The download made progress; `fraction` runs from 0.0 to 1.0. Implemented
  // here: the download covers 5 to 40 per cent of the overall progress.
  virtual void OnDownloadProgress(float fraction);
  // The estimated total download time exceeds 120 seconds.
  virtual void OnSlowDownload() = 0;
  // A time-left estimate: state 0 not yet known, 1 estimate, 2 upper bound.
  // The seconds include the time allowed for the installation.
  virtual void OnTimeLeft(int seconds, int state) = 0;
  // The job is over and the window may close.
  virtual void OnFinished() = 0;
  // The installation failed with the non-zero `result` of InstallBrowser.
  virtual void OnError(int result) = 0;
  // The handle of the window that receives the setup's progress messages.
  virtual intptr_t GetWindowHandle() = 0;
  // The overall progress in per cent.
  virtual void SetProgress(int percent) = 0;
};

namespace lite_installer {

// The overall percentage for a download fraction: (1 - f) * 5 + f * 40 in
// single precision, truncated toward zero.
int DownloadFractionToPercent(float fraction);

}  // namespace lite_installer

#endif  // INSTALL_INSTALLER_OBSERVER_H_
