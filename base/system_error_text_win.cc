#include "base/system_error_text.h"

#include <windows.h>

#include "base/text.h"

namespace lite_installer {

namespace {

constexpr DWORD kMessageBufferChars = 1024;
constexpr DWORD kEnglishUnitedStates = 1033;

std::wstring MessageFrom(DWORD flags, const void* source, uint32_t code) {
  wchar_t buffer[kMessageBufferChars];
  const DWORD length = FormatMessageW(flags | FORMAT_MESSAGE_IGNORE_INSERTS, source, code,
                                      kEnglishUnitedStates, buffer, kMessageBufferChars, nullptr);
  if (length == 0 || length >= kMessageBufferChars) return std::wstring();
  return std::wstring(buffer, length);
}

}  // namespace

std::wstring SystemErrorText(uint32_t code) {
  std::wstring text = MessageFrom(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code);
  if (!text.empty()) return text;
  // Only modules the process already uses are asked; none is loaded for this.
  for (const wchar_t* name : {L"wininet.dll", L"urlmon.dll"}) {
    HMODULE module = GetModuleHandleW(name);
    if (module == nullptr) continue;
    text = MessageFrom(FORMAT_MESSAGE_FROM_HMODULE, module, code);
    if (!text.empty()) return text;
  }
  return L"unknown error 0x" + ToHexLower(code) + L"\n";
}

}  // namespace lite_installer
