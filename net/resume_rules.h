// The rules that decide whether a download may continue the bytes a file
// already holds, so that two different packages are never spliced into one.
// No system calls.
#ifndef NET_RESUME_RULES_H_
#define NET_RESUME_RULES_H_

#include <cstdint>
#include <string>

namespace lite_installer {

// What the first complete answer said about the package: its validator
// (a strong ETag, else Last-Modified) and its whole length. A later attempt
// continues the file only with both known.
struct PackageIdentity {
  std::wstring validator;
  uint64_t length = 0;

  bool CanResume() const { return !validator.empty() && length != 0; }
  void Clear() {
    validator.clear();
    length = 0;
  }
};

// The validator to send in If-Range: `etag` when it is a strong entity tag,
// otherwise `last_modified`; empty when neither is usable. A value with
// characters outside printable ASCII is never used (it goes into a header).
std::wstring ChooseValidator(const std::wstring& etag, const std::wstring& last_modified);

// Parses a Content-Length value: decimal digits only (surrounding spaces
// allowed), at most 19 of them, into 64 bits. False for anything else.
bool ParseContentLength(const std::wstring& text, uint64_t* length);

// What to do with the answer to a request for the rest of a file.
enum class ResumeVerdict {
  kAppend,          // a 206 that continues the file exactly
  kRestartWithBody, // a 200: the whole (possibly new) package; start the file again with it
  kPackageChanged,  // 416 or another total: the kept bytes belong to another package
  kRejected,        // anything else (errors, a part from elsewhere): fail, keep the bytes
};

// Judges the answer (`status`, its Content-Range text, empty when absent)
// to a request for the bytes from `offset` of the package `identity`.
ResumeVerdict JudgeResumedAnswer(uint32_t status, const std::wstring& content_range,
                                 uint64_t offset, const PackageIdentity& identity);

}  // namespace lite_installer

#endif  // NET_RESUME_RULES_H_
