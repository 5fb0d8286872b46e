// Random bytes from the system's own generator, without loading a crypto
// provider. Windows build only.
#ifndef BASE_SYSTEM_RANDOM_H_
#define BASE_SYSTEM_RANDOM_H_

#include <cstddef>

namespace lite_installer {

// Fills `size` bytes (at most 4 GiB - 1) at `buffer` from the system's
// cryptographically strong generator (advapi32's RtlGenRandom). False when
// it failed; the buffer's contents then mean nothing.
bool SystemRandomBytes(void* buffer, size_t size);

}  // namespace lite_installer

#endif  // BASE_SYSTEM_RANDOM_H_
