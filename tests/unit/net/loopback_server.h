#pragma once
// A tiny HTTP listener on 127.0.0.1 for the client tests: records the raw bytes
// of every request per connection and answers from a script of canned
// responses, one per request in arrival order.
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qm::test {

struct CannedResponse {
  std::string bytes;             // written exactly as given
  bool closeAfter = false;       // close the connection after writing
  bool dropWithoutAnswer = false;
  int delayMs = 0;               // wait before answering (cut short by shutdown)

  static CannedResponse ok(const std::string& body, const std::string& extraHeaders = "");
  static CannedResponse status(int code, const std::string& reason, const std::string& extraHeaders = "");
  static CannedResponse chunked(const std::string& body, const std::string& extraHeaders = "");
  // HTTP/1.0 answer without a length: the body ends when the connection closes.
  static CannedResponse untilClose(const std::string& body, const std::string& extraHeaders = "");
  static CannedResponse drop();
};

class LoopbackServer {
 public:
  LoopbackServer();
  ~LoopbackServer();

  int port() const { return port_; }
  std::string host() const { return "127.0.0.1:" + std::to_string(port_); }
  std::string url(const std::string& path) const { return "http://" + host() + path; }

  void enqueue(CannedResponse response);

  struct Request {
    std::size_t connection;  // 0-based, in accept order
    std::string raw;         // request line, header lines and body
  };
  std::vector<Request> requests() const;
  std::size_t connectionCount() const;
  // Waits (bounded) until the client has closed connection i.
  bool waitClosedByClient(std::size_t i, int timeoutMs = 5000) const;

  // A port on which nothing listens.
  static int refusedPort();

 private:
  void acceptLoop();
  void serve(int fd, std::size_t index);

  int listenFd_ = -1;
  int port_ = 0;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  bool stopping_ = false;
  std::vector<CannedResponse> script_;
  std::size_t nextResponse_ = 0;
  std::vector<Request> requests_;
  std::vector<int> connectionFds_;
  std::vector<bool> closedByClient_;
  std::vector<std::thread> connectionThreads_;
  std::thread acceptThread_;
};

}  // namespace qm::test
