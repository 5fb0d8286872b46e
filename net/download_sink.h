// Receivers of an HTTP response body. A download writes every chunk it reads
// to one sink; the sink's `total` counts the bytes it accepted and is the
// offset at which a later attempt resumes. No system calls.
#ifndef NET_DOWNLOAD_SINK_H_
#define NET_DOWNLOAD_SINK_H_

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

// Bytes of a statistics reply that a StringSink keeps by default.
constexpr uint32_t kReplyKeptBytes = 4096;

// Keeps the start of a body in memory (statistics replies) and discards the
// rest: at most `kept_limit` bytes are held whatever the server sends, while
// `total` still counts every byte.
class StringSink : public DownloadSink {
 public:
  explicit StringSink(uint32_t kept_limit = kReplyKeptBytes) : kept_limit_(kept_limit) {}

  bool Write(const char* bytes, uint32_t count) override;
  void Reset() override;

  // The first bytes of the body, at most kept_limit of them.
  const std::string& data() const { return data_; }

 private:
  uint32_t kept_limit_;
  std::string data_;
};

}  // namespace lite_installer

#endif  // NET_DOWNLOAD_SINK_H_
