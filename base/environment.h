// Temporary folder and whole-file helpers. Windows build only.
#ifndef BASE_ENVIRONMENT_H_
#define BASE_ENVIRONMENT_H_

#include <string>

// The temporary folder with its trailing backslash, in a buffer sized by what
// the system reports, or empty when the system cannot give it (GetTempPathW
// refuses a TMP or TEMP past MAX_PATH + 1 characters, Wine's too).
std::wstring GetTemporaryPath();

// The user's or the system's folders the installer reads or measures.
enum class ShellFolder { kRoamingAppData, kLocalAppData, kProgramFiles };

// The folder's path without a trailing backslash, however long, or empty when
// the system cannot give it.
std::wstring GetShellFolderPath(ShellFolder folder);

// Creates or truncates `path` and writes all of `bytes`; true only when every
// byte was written.
bool SaveBytesToFile(const std::wstring& path, const std::string& bytes);

// The whole file, or empty when it cannot be opened or read completely.
std::string LoadFileBytes(const std::wstring& path);

// The file's bytes in `bytes` when it opens and holds at most `max_bytes`
// (read in one call that never asks for more than max_bytes + 1); false, with
// `bytes` empty, when it cannot be read or is longer.
bool LoadSmallFile(const std::wstring& path, size_t max_bytes, std::string* bytes);

#endif  // BASE_ENVIRONMENT_H_
