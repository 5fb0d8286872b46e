// Parsing of the Content-Range header of a partial response. No system calls.
#ifndef NET_CONTENT_RANGE_H_
#define NET_CONTENT_RANGE_H_

#include <cstdint>
#include <string>

namespace lite_installer {

struct ContentRange {
  uint64_t first = 0;     // first byte of the part sent
  uint64_t last = 0;      // last byte of the part sent (inclusive)
  uint64_t complete = 0;  // length of the whole body; 0 when given as "*"
};

// Parses "bytes FIRST-LAST/COMPLETE" (COMPLETE may be "*"). False for any
// other form, for LAST < FIRST and for COMPLETE <= LAST.
bool ParseContentRange(const std::wstring& value, ContentRange* range);

// Parses the Content-Range of a 416 answer, "bytes */COMPLETE", into
// `complete`. False for any other form.
bool ParseUnsatisfiedRange(const std::wstring& value, uint64_t* complete);

}  // namespace lite_installer

#endif  // NET_CONTENT_RANGE_H_
