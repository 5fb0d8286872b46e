// A sink that writes the body to an open file. Windows build only.
#ifndef NET_FILE_SINK_H_
#define NET_FILE_SINK_H_

#include <windows.h>

#include "net/download_sink.h"

namespace lite_installer {

// Writes at the file's current position. The handle is not owned: the
// creator closes it after destroying the sink. `total` is the file's length
// as long as the file started empty, which the resumption rule relies on.
class FileSink : public DownloadSink {
 public:
  explicit FileSink(HANDLE file) : file_(file) {}

  // True only when WriteFile succeeded and wrote every byte. A short write
  // is undone (the file is cut back to `total` bytes) and fails with
  // ERROR_DISK_FULL as the last error.
  bool Write(const char* bytes, uint32_t count) override;
  // Moves the position to 0 and truncates the file there.
  void Reset() override;

 private:
  HANDLE file_;
};

}  // namespace lite_installer

#endif  // NET_FILE_SINK_H_
