// Base64 decoders (standard alphabet "A"-"Z", "a"-"z", "0"-"9", "+", "/").
// No system calls.
#ifndef TRUST_BASE64_H_
#define TRUST_BASE64_H_

#include <string>

namespace lite_installer {

// RFC 4648 decoding without tolerance: the length must be a multiple of 4,
// at most two "=" may close the text, and any other character or a
// misplaced "=" fails. An empty text decodes to no bytes and succeeds.
// Returns false on failure; `bytes` is then empty.
bool StrictBase64Decode(const std::string& text, std::string* bytes);

// Decoding that skips every character outside the alphabet ("=", blanks,
// line breaks included). Full groups of four give three bytes, a final group
// of three gives two, of two gives one; a single left-over character gives
// nothing. Never fails.
std::string LenientBase64Decode(const std::string& text);

}  // namespace lite_installer

#endif  // TRUST_BASE64_H_
