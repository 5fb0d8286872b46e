#include "net/resume_rules.h"

#include "net/content_range.h"

namespace lite_installer {

namespace {

bool IsPrintableAscii(const std::wstring& text) {
  for (wchar_t c : text) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

}  // namespace

std::wstring ChooseValidator(const std::wstring& etag, const std::wstring& last_modified) {
  // A weak tag ("W/...") may not be used in If-Range; only a quoted one is an
  // entity tag at all.
  if (etag.size() >= 2 && etag.front() == L'"' && etag.back() == L'"' && IsPrintableAscii(etag)) {
    return etag;
  }
  if (!last_modified.empty() && IsPrintableAscii(last_modified)) return last_modified;
  return std::wstring();
}

bool ParseContentLength(const std::wstring& text, uint64_t* length) {
  size_t pos = 0;
  while (pos < text.size() && text[pos] == L' ') ++pos;
  uint64_t value = 0;
  size_t digits = 0;
  while (pos < text.size() && text[pos] >= L'0' && text[pos] <= L'9') {
    if (++digits > 19) return false;
    value = value * 10 + static_cast<uint64_t>(text[pos] - L'0');
    ++pos;
  }
  while (pos < text.size() && text[pos] == L' ') ++pos;
  if (digits == 0 || pos != text.size()) return false;
  *length = value;
  return true;
}

ResumeVerdict JudgeResumedAnswer(const ResumedAnswer& answer, uint64_t offset,
                                 const PackageIdentity& identity) {
  // A 200 to If-Range means the validator no longer matches, or the server
  // ignores ranges: either way its body is the whole current package.
  if (answer.status == 200) return ResumeVerdict::kRestartWithBody;
  if (answer.status == 416) {
    // "bytes */N": nothing lies at or after the offset. With N equal to the
    // offset the file already holds the whole package.
    uint64_t complete = 0;
    const bool ends_here = ParseUnsatisfiedRange(answer.content_range, &complete) &&
                           complete == offset &&
                           (identity.length == 0 || identity.length == complete);
    return ends_here ? ResumeVerdict::kComplete : ResumeVerdict::kPackageChanged;
  }
  if (answer.status != 206) return ResumeVerdict::kRejected;
  // A part of another package (a server that ignores If-Range) must never
  // be appended, whatever its range says.
  if (!identity.validator.empty() && answer.etag != identity.validator &&
      answer.last_modified != identity.validator) {
    return ResumeVerdict::kPackageChanged;
  }
  ContentRange range;
  if (!ParseContentRange(answer.content_range, &range) || range.complete == 0) {
    return ResumeVerdict::kRejected;
  }
  if (identity.length != 0 && range.complete != identity.length) {
    return ResumeVerdict::kPackageChanged;
  }
  if (range.first != offset || range.last + 1 != range.complete) return ResumeVerdict::kRejected;
  return ResumeVerdict::kAppend;
}

}  // namespace lite_installer
