// Conversions between the installer's narrow and wide texts, and the small
// text helpers every subsystem shares. No system calls.
#ifndef BASE_TEXT_H_
#define BASE_TEXT_H_

#include <cstdint>
#include <string>

namespace lite_installer {

// Keeps the low 8 bits of each code unit: switch names and values are ASCII
// in practice, and this is the documented narrowing of a wide switch value.
std::string Narrow(const std::wstring& text);

// Widens each byte to one code unit.
std::wstring Widen(const std::string& text);

// Lower-cases ASCII A-Z only; every other character is kept.
std::string ToLowerAscii(std::string text);
std::wstring ToLowerAscii(std::wstring text);

// True for the 27 characters the command line treats as blanks.
bool IsTrimmedWhitespace(wchar_t c);

// Removes those characters from both ends.
std::wstring TrimWhitespace(const std::wstring& text);

// Decimal and lower-case hexadecimal renderings, without leading zeros.
std::wstring ToDecimal(int64_t value);
std::wstring ToDecimal(uint64_t value);
std::wstring ToHexLower(uint32_t value);

// Converts between UTF-8 and the platform's wide text (UTF-16 on Windows,
// UTF-32 natively). Invalid input becomes U+FFFD; nothing is dropped silently.
std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);

// True for exactly 36 characters in the GUID form 8-4-4-4-12: hexadecimal
// digits (either case) in groups joined by "-", without braces.
bool IsGuidText(const std::string& text);

// `url` with its host (and port, if any) replaced by `new_host` when that
// host is `old_host`, compared without regard to ASCII case; both hosts may
// carry ":port", and a port on `old_host` must match too. Any other address
// comes back unchanged: another host, one that merely starts or ends with
// `old_host`, one with user information before the host ("user@host"), or
// text without "scheme://".
std::wstring ReplaceUrlHost(const std::wstring& url, const std::wstring& old_host,
                            const std::wstring& new_host);

}  // namespace lite_installer

#endif  // BASE_TEXT_H_
