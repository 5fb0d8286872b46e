// The installer log: one UTF-16 record per call in "lite_installer.log".
// Logging never fails towards the caller: a record that cannot be written is
// dropped. Every record names the writing function and the source line.
#ifndef BASE_LOG_H_
#define BASE_LOG_H_

#include <string>

namespace lite_installer {

enum LogLevel { kInfo, kWarning, kError };

// Writes `message` unchanged. For kError the record ends with " Last error: "
// and the system's text for the calling thread's last error.
void Log(LogLevel level, const wchar_t* function, int line, const std::wstring& message);

// Formats like swprintf into 1,500 characters (longer output is cut) and
// appends "\n". Use %ls for wide strings and %d / %u for 32-bit numbers.
void LogFormat(LogLevel level, const wchar_t* function, int line, const wchar_t* format, ...);

// Sets the log file's path. Only the first call has an effect; records written
// before it are dropped.
void SetLogPath(const std::wstring& path);

}  // namespace lite_installer

#define LOG_INFO(function, message) ::lite_installer::Log(::lite_installer::kInfo, function, __LINE__, message)
#define LOG_WARNING(function, message) ::lite_installer::Log(::lite_installer::kWarning, function, __LINE__, message)
#define LOG_ERROR(function, message) ::lite_installer::Log(::lite_installer::kError, function, __LINE__, message)

#endif  // BASE_LOG_H_
