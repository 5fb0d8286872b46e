// Bounds what a server can make the system hold while it reads an answer's
// headers. The system reads every header line into memory, and nothing ends
// that reading but the connection: waiting less does not free anything. So
// while a request waits for its answer the guard watches the process's
// memory and, past a fixed allowance, shuts the request's own connection
// down, which ends the system's reading at once. Windows build only.
#ifndef NET_ANSWER_GUARD_H_
#define NET_ANSWER_GUARD_H_

#include <cstddef>
#include <cstdint>

namespace lite_installer {

// Growth of the process's memory allowed while one answer's headers are
// read; past it the connection is shut down. Far above any sound answer
// (headers are refused past kAnswerHeadersLimitBytes anyway), far below
// what would endanger the process.
constexpr size_t kAnswerMemoryAllowanceBytes = 16u * 1024 * 1024;
// The longest answer headers accepted, all lines together.
constexpr uint32_t kAnswerHeadersLimitBytes = 64u * 1024;
// Between two looks at the memory while headers are read.
constexpr uint32_t kAnswerGuardIntervalMs = 20;

// The process's working set in bytes; 0 when it cannot be read.
size_t ProcessMemoryBytes();

// The connection a request uses, found by the port of its server among the
// process's sockets; each connection belongs to one guard at a time, so two
// requests to the same server never take the same one. Thread-safe; Find
// may be called from the system's threads.
class AnswerConnection {
 public:
  AnswerConnection() = default;
  AnswerConnection(const AnswerConnection&) = delete;
  AnswerConnection& operator=(const AnswerConnection&) = delete;
  ~AnswerConnection() { Forget(); }

  // Takes the first connected socket to `port` that no other guard holds.
  // False when there is none (the guard then cannot cut the connection).
  bool Find(uint16_t port);
  // Shuts the connection down in both directions: the system's pending
  // read ends with an error. False when no connection is held.
  bool ShutDown();
  // Gives the connection up (the request is closed or done with it).
  void Forget();

 private:
  volatile uintptr_t socket_ = 0;
};

}  // namespace lite_installer

#endif  // NET_ANSWER_GUARD_H_
