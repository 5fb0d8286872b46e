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
// empty (an ERROR record) when none could be made: the run's files then have
// no place, and nothing falls back to the shared temporary folder.
std::wstring CreateRunFolder(const std::wstring& temporary_path);

// The folder made by CreateRunFolder (with trailing separator), or empty
// when none was made.
std::wstring RunFolderPath();

// Deletes every file SaveAndHoldFile created (releasing their holds), then
// the folder made by CreateRunFolder. Files this process did not create stay,
// and so does the folder while it holds any. True when no run folder is left.
// AllHandedFilesHeld is true again afterwards.
bool RemoveRunFolder();

// Opens `path` for reading and shares it for reading only: while the handle
// is open no other handle may write, replace, rename or delete the file.
// Invalid on failure.
ScopedFile OpenHeldFile(const std::wstring& path);

// Creates `path` new (failing when anything exists there, unless this
// process created it earlier, which is then deleted first), writes `bytes`
// through that exclusive handle, closes it, holds the file as OpenHeldFile
// does until ReleaseHeldFiles, and reads it back through the hold: the held
// file must hold exactly `bytes`. A file someone else created first or
// changed before the hold is never taken for ours. False on any failure,
// with an ERROR record; AllHandedFilesHeld is false from then on.
bool SaveAndHoldFile(const std::wstring& path, const std::string& bytes);

// False once a SaveAndHoldFile of this process failed: some file the setup
// would be handed is not one this process wrote and holds.
bool AllHandedFilesHeld();

// Closes every file held by SaveAndHoldFile; the files stay on the disk.
void ReleaseHeldFiles();

// The SHA-256 digest of the whole file behind `file`, read from byte 0
// through that handle (whose file pointer it moves). False on a read error.
bool FileDigest(void* file, std::string* digest);

// True when both handles name the same file: same volume serial number and
// file index.
bool IsSameFile(void* first, void* second);

}  // namespace lite_installer

#endif  // BASE_RUN_FOLDER_H_
