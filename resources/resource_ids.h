// Numeric identifiers of the installer's resources, shared by the resource
// scripts and the code.
#ifndef RESOURCES_RESOURCE_IDS_H_
#define RESOURCES_RESOURCE_IDS_H_

#define IDI_INSTALLER 128

// Images (RCDATA) and the message dialog template.
#define IDR_IMAGE_CHECKBOX 302
#define IDR_IMAGE_MAIN_BACKGROUND 307
#define IDR_IMAGE_INSTALL_BUTTON 309
#define IDR_IMAGE_CANCEL_BUTTON 310
#define IDR_IMAGE_PROGRESS_FILL 313
#define IDR_IMAGE_PROGRESS_TRACK 314
#define IDR_IMAGE_MESSAGE_BACKGROUND 315
#define IDR_IMAGE_MESSAGE_OK 316
#define IDR_IMAGE_MESSAGE_CANCEL 317
#define IDD_MESSAGE_DIALOG 202

// Resources of type "BIN": packages and the files handed to the setup.
#define IDR_INITIAL_PREFERENCES 305
#define IDR_PARTNER_IDS 306
#define IDR_DEFAULT_BRAND_PACKAGE 319
#define IDR_PARTNER_PACKAGE 320

#endif  // RESOURCES_RESOURCE_IDS_H_
