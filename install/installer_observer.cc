#include "install/installer_observer.h"

namespace lite_installer {

int DownloadFractionToPercent(float fraction) {
  const float percent = (1.0f - fraction) * 5.0f + fraction * 40.0f;
  return static_cast<int>(percent);
}

}  // namespace lite_installer

void InstallerObserver::OnDownloadProgress(float fraction) {
  SetProgress(lite_installer::DownloadFractionToPercent(fraction));
}
