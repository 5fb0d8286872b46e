// Time limits of HTTP requests. No system calls.
#ifndef NET_DOWNLOAD_LIMITS_H_
#define NET_DOWNLOAD_LIMITS_H_

#include <cstdint>

namespace lite_installer {

// Time allowed to open the TCP connection (and the TLS handshake) of one request.
constexpr uint32_t kConnectLimitMs = 10000;
// The setup package: an attempt ends with an error when no byte (and, before
// the headers, no answer) arrived for this long. Its bytes are kept.
constexpr uint32_t kPackageSilenceLimitMs = 30000;
// A statistics request, body included, ends within this time whatever the
// server does.
constexpr uint32_t kStatisticsRequestLimitMs = 15000;

// The limits one request runs under.
struct RequestLimits {
  uint32_t connect_ms;
  uint32_t silence_ms;  // longest wait for the answer or for the next bytes
  uint32_t total_ms;    // the whole request, 0 for no limit
};

constexpr RequestLimits kPackageRequestLimits = {kConnectLimitMs, kPackageSilenceLimitMs, 0};
constexpr RequestLimits kStatisticsRequestLimits = {kConnectLimitMs, kStatisticsRequestLimitMs,
                                                    kStatisticsRequestLimitMs};

// How long the wait for an answer may still last: until the request went out
// (connection and handshake), `connect_ms` from the start of the attempt to
// send it; after that, `silence_ms` from the moment it went out; both cut to
// what is left of the total limit. `phase_elapsed_ms` counts from the start
// of the current phase, `total_elapsed_ms` from the start of the request.
// 0 when a limit has passed.
uint32_t AnswerWaitLimitMs(const RequestLimits& limits, bool request_sent,
                           uint32_t phase_elapsed_ms, uint32_t total_elapsed_ms);

// How long the next wait of a request may last: the silence limit, cut to
// what is left of the total limit after `elapsed_ms`. 0 when the total limit
// has passed.
uint32_t NextWaitLimitMs(const RequestLimits& limits, uint32_t elapsed_ms);

}  // namespace lite_installer

#endif  // NET_DOWNLOAD_LIMITS_H_
