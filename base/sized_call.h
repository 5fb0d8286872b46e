// Texts that a system call writes into a caller's buffer, with the buffer
// sized by what the call reports instead of a fixed length. No system calls.
#ifndef BASE_SIZED_CALL_H_
#define BASE_SIZED_CALL_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace lite_installer {

// The longest text such a call may give, terminator included: the longest
// path Windows handles (32,767 characters) and its NUL.
constexpr size_t kLongestSystemTextChars = 32768;
// The first buffer tried, in characters: enough for nearly every path.
constexpr size_t kFirstSystemTextChars = 260;

// Calls `call(buffer, capacity_chars)` until the text fits, and returns it
// (empty when the call fails or the text would pass
// kLongestSystemTextChars). The call answers 0 on failure; a length below the
// capacity when the text fits (without its terminator); otherwise, that the
// buffer was too small, with either the capacity it needs (GetTempPathW,
// GetSystemDirectoryW) or the capacity it was given (GetModuleFileNameW),
// and then the buffer grows to the larger of that need and twice its size.
template <typename Call>
std::wstring TextFromSizedCall(Call call) {
  std::wstring buffer(kFirstSystemTextChars, L'\0');
  for (;;) {
    const uint32_t capacity = static_cast<uint32_t>(buffer.size());
    const uint32_t answer = call(&buffer[0], capacity);
    if (answer == 0) return std::wstring();
    if (answer < capacity) {
      buffer.resize(answer);
      return buffer;
    }
    if (capacity >= kLongestSystemTextChars) return std::wstring();
    size_t next = answer > capacity ? answer : static_cast<size_t>(capacity) * 2;
    if (next > kLongestSystemTextChars) next = kLongestSystemTextChars;
    buffer.assign(next, L'\0');
  }
}

}  // namespace lite_installer

#endif  // BASE_SIZED_CALL_H_
