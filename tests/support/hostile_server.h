#pragma once
// A tiny hostile HTTP server on 127.0.0.1 for probes of the clients: every
// request is read whole, then answered the one way the server was made for.
// Each connection has its own thread; stop() (and the destructor) ends them all.
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qm::test {

class HostileServer {
 public:
  enum class Mode {
    EndlessBody,  // 200, a chunked body that never ends
    Silent,       // reads the request, holds the connection, sends nothing
    Canned,       // writes the given bytes, then closes
  };
  explicit HostileServer(Mode mode, std::string canned = {});
  ~HostileServer();
  HostileServer(const HostileServer&) = delete;
  HostileServer& operator=(const HostileServer&) = delete;

  std::string host() const { return "127.0.0.1:" + std::to_string(port_); }
  std::string url(const std::string& path) const { return "http://" + host() + path; }
  // Requests read so far (head and body), in arrival order.
  std::vector<std::string> requests() const;
  std::size_t requestCount() const;
  // Body bytes sent so far (EndlessBody).
  std::uint64_t bytesSent() const { return sent_; }
  void stop();

 private:
  void acceptLoop();
  void serve(int fd);

  Mode mode_;
  std::string canned_;
  int listenFd_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<std::uint64_t> sent_{0};
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::vector<int> fds_;
  std::vector<std::thread> threads_;
  std::thread acceptThread_;
};

// An answer of the query service holding `students` records of the real key
// order, every name `name` (UTF-8, written as \uXXXX escapes).
std::string studentAnswer(int students, const std::u16string& name);

}  // namespace qm::test
