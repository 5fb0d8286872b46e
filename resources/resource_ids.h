// Numeric identifiers of the installer's resources, shared by the resource
// scripts and the code.
#ifndef RESOURCES_RESOURCE_IDS_H_
#define RESOURCES_RESOURCE_IDS_H_

#define IDI_INSTALLER 128

#endif  // RESOURCES_RESOURCE_IDS_H_
