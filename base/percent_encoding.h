// Percent-encoding of values put into URLs. No system calls.
#ifndef BASE_PERCENT_ENCODING_H_
#define BASE_PERCENT_ENCODING_H_

#include <string>

namespace lite_installer {

// Every byte outside the unreserved set of RFC 3986 (A-Z a-z 0-9 - . _ ~)
// becomes "%" and two upper-case hexadecimal digits, so that a value can
// never add a path segment, a query, a fragment or a blank to the URL it is
// put into.
std::string PercentEncode(const std::string& bytes);

// The UTF-8 form of `text`, percent-encoded, as wide text.
std::wstring PercentEncode(const std::wstring& text);

// The same for narrow text whose bytes are widened one by one elsewhere:
// each byte is encoded as it stands, widened.
std::wstring PercentEncodeBytes(const std::string& bytes);

// An address from a document made safe to hand to the shell: bytes that no
// URL may hold as they are (controls, blank, non-ASCII, and " < > \ ^ ` { | })
// are percent-encoded; the address keeps its structure.
std::string EncodeUnsafeUrlBytes(const std::string& url);

// True for the RFC 3986 unreserved characters.
bool IsUnreservedUrlCharacter(unsigned char c);

}  // namespace lite_installer

#endif  // BASE_PERCENT_ENCODING_H_
