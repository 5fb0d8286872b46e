// Temporary folder and whole-file helpers. Windows build only.
#ifndef BASE_ENVIRONMENT_H_
#define BASE_ENVIRONMENT_H_

#include <string>

// The temporary folder with its trailing backslash, or empty when the system
// cannot give it in fewer than 260 characters.
std::wstring GetTemporaryPath();

// Creates or truncates `path` and writes all of `bytes`; true only when every
// byte was written.
bool SaveBytesToFile(const std::wstring& path, const std::string& bytes);

// The whole file, or empty when it cannot be opened or read completely.
std::string LoadFileBytes(const std::wstring& path);

#endif  // BASE_ENVIRONMENT_H_
