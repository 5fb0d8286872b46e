// Receivers of an HTTP response body. A download writes every chunk it reads
// to one sink; the sink's `total` counts the bytes it accepted and is the
// offset at which a later attempt resumes. No system calls.
#ifndef INSTALL_DOWNLOAD_SINK_H_
#define INSTALL_DOWNLOAD_SINK_H_

#include <cstdint>
#include <string>

namespace lite_installer {

// Base sink: discards the data but counts it.
class DownloadSink {
 public:
  DownloadSink() = default;
  DownloadSink(const DownloadSink&) = delete;
  DownloadSink& operator=(const DownloadSink&) = delete;

  // Accepts `count` bytes; true when all were taken. Adds `count` to `total`
  // on success.
  virtual bool Write(const char* bytes, uint32_t count);
  // Forgets everything accepted so far; `total` becomes 0.
  virtual void Reset();
  virtual ~DownloadSink() = default;

  // Bytes accepted since construction or the last Reset.
  uint32_t total = 0;
};

// Keeps the body in memory (statistics responses).
class StringSink : public DownloadSink {
 public:
  bool Write(const char* bytes, uint32_t count) override;
  void Reset() override;

  const std::string& data() const { return data_; }

 private:
  std::string data_;
};

}  // namespace lite_installer

#endif  // INSTALL_DOWNLOAD_SINK_H_
