#include "install/file_sink.h"

namespace lite_installer {

bool FileSink::Write(const char* bytes, uint32_t count) {
  DWORD written = 0;
  if (!WriteFile(file_, bytes, count, &written, nullptr) || written != count) return false;
  total += count;
  return true;
}

void FileSink::Reset() {
  SetFilePointer(file_, 0, nullptr, FILE_BEGIN);
  SetEndOfFile(file_);
  total = 0;
}

}  // namespace lite_installer
