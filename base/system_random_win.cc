#include "base/system_random.h"

#include <windows.h>
#include <ntsecapi.h>

#include <cstdint>

namespace lite_installer {

bool SystemRandomBytes(void* buffer, size_t size) {
  if (size > UINT32_MAX - 1) return false;
  return RtlGenRandom(buffer, static_cast<ULONG>(size)) != FALSE;
}

}  // namespace lite_installer
