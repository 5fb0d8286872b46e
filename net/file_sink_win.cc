#include "net/file_sink.h"

namespace lite_installer {

namespace {

bool MoveAndTruncate(HANDLE file, uint32_t length) {
  LARGE_INTEGER position;
  position.QuadPart = length;
  return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

}  // namespace

bool FileSink::Write(const char* bytes, uint32_t count) {
  DWORD written = 0;
  const BOOL ok = WriteFile(file_, bytes, count, &written, nullptr);
  if (ok && written == count) {
    total += count;
    return true;
  }
  // A short write (a full volume) reports success with fewer bytes. The part
  // that was written is cut off again: the file must stay exactly `total`
  // bytes long, or a resumed download would append after bytes that are not
  // counted and corrupt the package.
  const DWORD error = ok ? static_cast<DWORD>(ERROR_DISK_FULL) : GetLastError();
  if (written != 0) MoveAndTruncate(file_, total);
  SetLastError(error);
  return false;
}

void FileSink::Reset() {
  MoveAndTruncate(file_, 0);
  total = 0;
}

}  // namespace lite_installer
