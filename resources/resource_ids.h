// Numeric identifiers of the installer's resources, shared by the resource
// scripts and the code.
#ifndef RESOURCES_RESOURCE_IDS_H_
#define RESOURCES_RESOURCE_IDS_H_

#define IDI_INSTALLER 128

// Resources of type "BIN": packages and the files handed to the setup.
#define IDR_INITIAL_PREFERENCES 305
#define IDR_PARTNER_IDS 306
#define IDR_DEFAULT_BRAND_PACKAGE 319
#define IDR_PARTNER_PACKAGE 320

#endif  // RESOURCES_RESOURCE_IDS_H_
