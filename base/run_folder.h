// The folder of one run: the setup package is downloaded into it and the
// files handed to the setup are written into it, and those files are held
// open so that nobody can change them between their check (or writing) and
// their use. Windows build only.
#ifndef BASE_RUN_FOLDER_H_
#define BASE_RUN_FOLDER_H_

#include <string>

#include "base/unique_handle.h"

namespace lite_installer {

// Creates a new folder under `temporary_path` (which ends with a separator),
// named with 128 random bits so nobody can predict or pre-create it, and
// never reusing an existing one. Where the system enforces access lists only
// the user, SYSTEM and the Administrators may open it. Later calls to
// RunFolderPath return it. Returns its path with a trailing separator, or
// empty (logged) when none could be made; RunFolderPath then falls back to
// the temporary folder.
std::wstring CreateRunFolder(const std::wstring& temporary_path);

// The folder made by CreateRunFolder (with trailing separator), or the
// temporary folder when none was made.
std::wstring RunFolderPath();

// Opens `path` for reading and shares it for reading only: while the handle
// is open no other handle may write, replace, rename or delete the file.
// Invalid on failure.
ScopedFile OpenHeldFile(const std::wstring& path);

// Writes `bytes` to `path`, replacing the file, then holds it open as
// OpenHeldFile does until ReleaseHeldFiles, after checking that the held
// file holds exactly `bytes` (a file swapped between the writing and the
// holding is written again). False when it could not be written and held.
bool SaveAndHoldFile(const std::wstring& path, const std::string& bytes);

// Closes every file held by SaveAndHoldFile; the files stay on the disk.
void ReleaseHeldFiles();

}  // namespace lite_installer

#endif  // BASE_RUN_FOLDER_H_
