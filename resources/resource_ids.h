// Identifiers of the installer's resources, strings and controls, shared by
// the resource scripts and the code. Plain #defines, so that the resource
// compiler reads this file too. Keep the values: the integration tests and
// the test tools that edit a built program name resources and controls by
// number.
#ifndef RESOURCES_RESOURCE_IDS_H_
#define RESOURCES_RESOURCE_IDS_H_

// The program's icon group.
#define IDI_INSTALLER 128

// Dialog templates.
#define IDD_MAIN_WINDOW 129
#define IDD_MESSAGE_DIALOG 202

// Images (RCDATA).
#define IDR_IMAGE_CHECKBOX 302
#define IDR_IMAGE_MAIN_BACKGROUND 307
#define IDR_IMAGE_INSTALL_BUTTON 309
#define IDR_IMAGE_CANCEL_BUTTON 310
#define IDR_IMAGE_PROGRESS_FILL 313
#define IDR_IMAGE_PROGRESS_TRACK 314
#define IDR_IMAGE_MESSAGE_BACKGROUND 315
#define IDR_IMAGE_MESSAGE_OK 316
#define IDR_IMAGE_MESSAGE_CANCEL 317

// An image id in the scalable range has a twin of twice the size for
// high-resolution screens, in the same place of the high-resolution range.
#define IDR_SCALABLE_IMAGE_FIRST 322
#define IDR_SCALABLE_IMAGE_LAST 361
#define IDR_HIGH_RESOLUTION_IMAGE_FIRST 362
#define IDR_HIGH_RESOLUTION_IMAGE_LAST 401

// Resources of type "BIN": packages and the files handed to the setup.
#define IDR_INITIAL_PREFERENCES 305
#define IDR_PARTNER_IDS 306
#define IDR_DEFAULT_BRAND_PACKAGE 319
#define IDR_PARTNER_PACKAGE 320
// The texts of every interface language, packed from strings.rc
// (resources/pack_strings.py) into a cabinet.
#define IDR_STRING_TABLES 321

// Strings, each in every interface language; named by their English text.
#define IDS_INSTALL_BUTTON 400            // "Install Korvex"
#define IDS_ERROR_TITLE 401               // "An error occurred during installation"
#define IDS_NO_SPACE_TEXT 402             // "Free up at least 400 MB and try again."
#define IDS_OK_BUTTON 403                 // "OK"
#define IDS_LESS_THAN_MINUTES_LEFT 404    // "Less than %i mins left"
#define IDS_HELP_MAKE_SERVICES_BETTER 405 // "Help make Korvex services better"
#define IDS_LICENSE_SENTENCE 406          // "... the ((License Agreement))."
#define IDS_NO_SPACE_TITLE 407            // "Insufficient disk space to\ninstall ..."
#define IDS_INSTALLING_BROWSER 408        // "Installing Korvex.Browser"
#define IDS_MINUTES_LEFT 409              // "%i mins left"
#define IDS_FAST_BROWSER_TITLE 410        // "Ultra-fast browser with Korvex Search"
#define IDS_LESS_THAN_SECONDS_LEFT 411    // "Less than %i secs left"
#define IDS_DOWNLOAD_BUTTON 412           // "Download"
#define IDS_NEWER_VERSION_TITLE 413       // "You already have a newer version ..."
#define IDS_DOWNLOAD_MANUALLY_TEXT 414    // "Try to download the installation file ..."
#define IDS_CANCEL_BUTTON 415             // "Cancel", in the installer window
#define IDS_PRIVACY_POLICY 416            // "Privacy policy"
#define IDS_INSTALL_FLASH 417             // "Install Adobe Flash Player"
#define IDS_NEWER_VERSION_TEXT 418        // "To get an old version of the browser ..."
#define IDS_SIMPLE_BROWSER_TITLE 419      // "A simple user-friendly browser"
#define IDS_MESSAGE_CANCEL_BUTTON 420     // "Cancel", in the error dialog
#define IDS_UPPER_BOUND_SECONDS_LEFT 421  // "Less than %i secs left", as a bound
#define IDS_WINDOW_CAPTION 422            // "Korvex"
#define IDS_BROWSER_NAME 423              // "Korvex.Browser"
#define IDS_SEND_STATISTICS 424           // "Help improve Korvex services by ..."
#define IDS_MAKE_DEFAULT 425              // "&Make default browser"
#define IDS_LICENSE_AGREEMENT 426         // "License Agreement"

// Controls. IDC_STATIC marks the statics without an id of their own (the
// message text, the plain pieces of the licence sentence). The first push
// button of each template has IDOK's value, the command the dialog manager
// sends for the Enter key.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
#define IDC_INSTALL_BUTTON 1              // installer window
#define IDC_OK_BUTTON 1                   // message dialogs: OK or Download
#define IDC_TITLE 1000                    // both templates
#define IDC_MAKE_DEFAULT_BOX 1002
#define IDC_STATISTICS_BOX 1003
#define IDC_FLASH_BOX 1004
#define IDC_CANCEL_BUTTON 1010            // both templates
#define IDC_PROGRESS_BAR 1012
#define IDC_TIME_LEFT 1013
#define IDC_LICENSE_LINK 1020             // the link pieces the code creates
#define IDC_PRIVACY_LINK 1021

#endif  // RESOURCES_RESOURCE_IDS_H_
