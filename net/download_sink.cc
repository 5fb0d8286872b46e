#include "net/download_sink.h"

namespace lite_installer {

bool DownloadSink::Write(const char* /*bytes*/, uint32_t count) {
  total += count;
  return true;
}

void DownloadSink::Reset() { total = 0; }

bool StringSink::Write(const char* bytes, uint32_t count) {
  if (data_.size() < kept_limit_) {
    const size_t room = kept_limit_ - data_.size();
    data_.append(bytes, count < room ? count : room);
  }
  total += count;
  return true;
}

void StringSink::Reset() {
  data_.clear();
  total = 0;
}

}  // namespace lite_installer
