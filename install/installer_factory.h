// How the owner of a run makes its controller. The program makes a plain
// Installer; test programs make a subclass with their own operations and
// time limits. Windows build only.
#ifndef INSTALL_INSTALLER_FACTORY_H_
#define INSTALL_INSTALLER_FACTORY_H_

#include <memory>

#include "install/installer.h"

namespace lite_installer {

// Makes the controller of one run with `observer` (null on the silent road).
using InstallerFactory = std::unique_ptr<Installer> (*)(InstallerObserver* observer, BrandPackageInfo& brand,
                                                        DistribInfoParams& distrib_params);

// The program's controller.
inline std::unique_ptr<Installer> MakeInstaller(InstallerObserver* observer, BrandPackageInfo& brand,
                                                DistribInfoParams& distrib_params) {
  return std::make_unique<Installer>(observer, brand, distrib_params);
}

}  // namespace lite_installer

#endif  // INSTALL_INSTALLER_FACTORY_H_
