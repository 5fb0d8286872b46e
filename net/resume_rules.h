// The rules that decide whether a download may continue the bytes a file
// already holds, so that two different packages are never spliced into one.
// No system calls.
#ifndef NET_RESUME_RULES_H_
#define NET_RESUME_RULES_H_

#include <cstdint>
#include <string>

namespace lite_installer {

// What the first answer said about the package: its validator (a strong
// ETag, else Last-Modified; empty when it had neither) and its whole length
// (0 while unknown: an answer without Content-Length). A later attempt asks
// for the rest of the file whatever is known; what is known decides which
// answers may continue it.
struct PackageIdentity {
  std::wstring validator;
  uint64_t length = 0;

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
  kAppend,          // a 206 of the same package that continues the file exactly
  kComplete,        // a 416 saying the package ends exactly where the file does
  kRestartWithBody, // a 200: the whole (possibly new) package; start the file again with it
  kPackageChanged,  // another validator, another total, or a 416 elsewhere: the kept
                    // bytes belong to another package; drop them
  kRejected,        // anything else (errors, a part from elsewhere): fail, keep the bytes
};

// The headers of an answer to a request for the rest of a file; each text is
// empty when the header is absent.
struct ResumedAnswer {
  uint32_t status = 0;
  std::wstring content_range;
  std::wstring etag;
  std::wstring last_modified;
};

// Judges `answer` to a request for the bytes from `offset` of the package
// `identity`. A 206 continues the file only when it carries the remembered
// validator (when there is one) and the remembered total (when known).
ResumeVerdict JudgeResumedAnswer(const ResumedAnswer& answer, uint64_t offset,
                                 const PackageIdentity& identity);

}  // namespace lite_installer

#endif  // NET_RESUME_RULES_H_
