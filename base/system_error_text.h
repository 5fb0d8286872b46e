// The system's English text for an error code. Windows build only.
#ifndef BASE_SYSTEM_ERROR_TEXT_H_
#define BASE_SYSTEM_ERROR_TEXT_H_

#include <cstdint>
#include <string>

namespace lite_installer {

// The message for `code` in language 1033 from the system, else from the
// message tables of wininet.dll or urlmon.dll when either is already loaded,
// else "unknown error 0x<hex>\n". System messages keep their own line ending.
std::wstring SystemErrorText(uint32_t code);

}  // namespace lite_installer

#endif  // BASE_SYSTEM_ERROR_TEXT_H_
