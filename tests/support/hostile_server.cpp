#include "tests/support/hostile_server.h"

#include <arpa/inet.h>
#include <cstdio>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace qm::test {
namespace {

bool sendAll(int fd, const char* p, std::size_t n) {
  while (n > 0) {
    const ssize_t k = ::send(fd, p, n, MSG_NOSIGNAL);
    if (k <= 0) return false;
    p += k;
    n -= static_cast<std::size_t>(k);
  }
  return true;
}

// Reads one request (head, then a Content-Length body); empty when the peer went.
std::string readRequest(int fd, const std::atomic<bool>& stopping) {
  std::string in;
  char buf[4096];
  std::size_t want = std::string::npos;
  while (!stopping) {
    const auto end = in.find("\r\n\r\n");
    if (end != std::string::npos && want == std::string::npos) {
      want = end + 4;
      const auto at = in.find("Content-Length:");
      if (at != std::string::npos && at < end) want += std::stoul(in.substr(at + 15));
    }
    if (want != std::string::npos && in.size() >= want) return in;
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
    if (n <= 0) return {};
    in.append(buf, static_cast<std::size_t>(n));
  }
  return {};
}

}  // namespace

HostileServer::HostileServer(Mode mode, std::string canned) : mode_(mode), canned_(std::move(canned)) {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::listen(listenFd_, 16) != 0 || ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
    throw std::runtime_error("hostile server: cannot listen");
  port_ = ntohs(addr.sin_port);
  acceptThread_ = std::thread([this] { acceptLoop(); });
}

HostileServer::~HostileServer() { stop(); }

void HostileServer::stop() {
  if (stopping_.exchange(true)) return;
  ::shutdown(listenFd_, SHUT_RDWR);
  if (acceptThread_.joinable()) acceptThread_.join();
  {
    std::lock_guard lock(mutex_);
    for (int fd : fds_) ::shutdown(fd, SHUT_RDWR);
  }
  for (auto& t : threads_) t.join();
  for (int fd : fds_) ::close(fd);
  ::close(listenFd_);
}

std::vector<std::string> HostileServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::size_t HostileServer::requestCount() const {
  std::lock_guard lock(mutex_);
  return requests_.size();
}

void HostileServer::acceptLoop() {
  while (!stopping_) {
    pollfd p{listenFd_, POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    std::lock_guard lock(mutex_);
    fds_.push_back(fd);
    threads_.emplace_back([this, fd] { serve(fd); });
  }
}

void HostileServer::serve(int fd) {
  for (;;) {
    const std::string request = readRequest(fd, stopping_);
    if (request.empty()) return;
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(request);
    }
    switch (mode_) {
      case Mode::Canned:
        sendAll(fd, canned_.data(), canned_.size());
        ::shutdown(fd, SHUT_WR);
        return;
      case Mode::Silent:
        // Held open until the client or stop() ends it.
        while (!stopping_) {
          pollfd p{fd, POLLIN, 0};
          if (::poll(&p, 1, 100) > 0) {
            char c;
            if (::recv(fd, &c, 1, 0) <= 0) return;
          }
        }
        return;
      case Mode::EndlessBody: {
        const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nTransfer-Encoding: chunked\r\n\r\n";
        if (!sendAll(fd, head.data(), head.size())) return;
        const std::string data(64 * 1024, 'x');
        char size[32];
        const int n = std::snprintf(size, sizeof size, "%zx\r\n", data.size());
        const std::string chunk = std::string(size, static_cast<std::size_t>(n)) + data + "\r\n";
        while (!stopping_ && sendAll(fd, chunk.data(), chunk.size())) sent_ += data.size();
        return;
      }
    }
  }
}

std::string studentAnswer(int students, const std::u16string& name) {
  std::string escaped;
  for (char16_t u : name) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(u));
    escaped += buf;
  }
  std::string out = R"({"javaClass":"HashMap","map":{"rows":{"javaClass":"ArrayList","list":[)";
  for (int i = 0; i < students; ++i) {
    if (i) out += ',';
    const std::string n = std::to_string(i + 1);
    out += R"({"xxbsm":"1","xm":")" + escaped + R"(","xsJbxxId":"s)" + n +
           R"(","jdfsm":"1","state":"1","xxBjxxId":"b","sfcjm":"0","rownum":)" + n +
           R"(,"jdztm":"01","xxNjxxId":"11","bh":"1","xxmc":"\u5b66\u6821","njmc":"\u4e00\u5e74\u7ea7","sffb":"1",)"
           R"("jtzz":"\u5730\u5740","grbsm":"G)" + n +
           R"(","bjmc":"\u4e00\u73ed","mzm":"01","xbm":"1","jg":"\u6e56\u5317","txdz":"\u5730\u5740","lxdh":"123",)"
           R"("xjfh":"f","javaClass":"HashMap","csrq":"20100101","xqh":"1","sfzjh":"42010120100101123X",)"
           R"("xxJbxxId":"x","sfzjlxm":"1","hkszdm":"420101"})";
  }
  out += "]}}}";
  return out;
}

}  // namespace qm::test
