#include "loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <strings.h>

namespace qm::test {
namespace {

std::string head(int code, const std::string& reason, const std::string& version = "HTTP/1.1") {
  return version + " " + std::to_string(code) + " " + reason + "\r\n";
}

void writeAll(int fd, const std::string& bytes) {
  size_t off = 0;
  while (off < bytes.size()) {
    ssize_t n = ::send(fd, bytes.data() + off, bytes.size() - off, MSG_NOSIGNAL);
    if (n <= 0) return;
    off += static_cast<size_t>(n);
  }
}

// Length of the body that the request head announces.
size_t contentLength(const std::string& head) {
  size_t pos = 0;
  while ((pos = head.find("\r\n", pos)) != std::string::npos) {
    pos += 2;
    if (strncasecmp(head.c_str() + pos, "Content-Length:", 15) == 0)
      return std::stoul(head.substr(pos + 15));
  }
  return 0;
}

}  // namespace

CannedResponse CannedResponse::ok(const std::string& body, const std::string& extraHeaders) {
  return {head(200, "OK") + "Content-Length: " + std::to_string(body.size()) + "\r\n" +
          extraHeaders + "\r\n" + body};
}

CannedResponse CannedResponse::status(int code, const std::string& reason,
                                      const std::string& extraHeaders) {
  std::string body = reason;
  return {head(code, reason) + "Content-Length: " + std::to_string(body.size()) + "\r\n" +
          extraHeaders + "\r\n" + body};
}

CannedResponse CannedResponse::chunked(const std::string& body, const std::string& extraHeaders) {
  std::string out = head(200, "OK") + "Transfer-Encoding: chunked\r\n" + extraHeaders + "\r\n";
  for (size_t off = 0; off < body.size(); off += 700) {
    std::string piece = body.substr(off, 700);
    char size[32];
    snprintf(size, sizeof size, "%zx\r\n", piece.size());
    out += size + piece + "\r\n";
  }
  return {out + "0\r\n\r\n"};
}

CannedResponse CannedResponse::untilClose(const std::string& body, const std::string& extraHeaders) {
  return {head(200, "OK", "HTTP/1.0") + extraHeaders + "\r\n" + body, true};
}

CannedResponse CannedResponse::drop() {
  CannedResponse r;
  r.dropWithoutAnswer = true;
  return r;
}

LoopbackServer::LoopbackServer() {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::listen(listenFd_, 16) != 0)
    throw std::runtime_error("loopback listener failed");
  socklen_t len = sizeof addr;
  ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len);
  port_ = ntohs(addr.sin_port);
  acceptThread_ = std::thread([this] { acceptLoop(); });
}

LoopbackServer::~LoopbackServer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    for (int fd : connectionFds_)
      if (fd >= 0) ::shutdown(fd, SHUT_RDWR);
  }
  changed_.notify_all();
  ::shutdown(listenFd_, SHUT_RDWR);
  acceptThread_.join();
  for (auto& t : connectionThreads_) t.join();
  ::close(listenFd_);
}

void LoopbackServer::enqueue(CannedResponse response) {
  std::lock_guard lock(mutex_);
  script_.push_back(std::move(response));
}

std::vector<LoopbackServer::Request> LoopbackServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::size_t LoopbackServer::connectionCount() const {
  std::lock_guard lock(mutex_);
  return connectionFds_.size();
}

bool LoopbackServer::waitClosedByClient(std::size_t i, int timeoutMs) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [&] { return i < closedByClient_.size() && closedByClient_[i]; });
}

int LoopbackServer::refusedPort() {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  ::close(fd);  // bound but never listening: connections are refused
  return ntohs(addr.sin_port);
}

void LoopbackServer::acceptLoop() {
  for (;;) {
    int fd = ::accept(listenFd_, nullptr, nullptr);
    std::lock_guard lock(mutex_);
    if (fd < 0 || stopping_) {
      if (fd >= 0) ::close(fd);
      return;
    }
    // A stuck exchange (a client waiting for an answer while we wait for a
    // body it never sends) ends instead of hanging the test.
    timeval limit{10, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    std::size_t index = connectionFds_.size();
    connectionFds_.push_back(fd);
    closedByClient_.push_back(false);
    connectionThreads_.emplace_back([this, fd, index] { serve(fd, index); });
  }
}

void LoopbackServer::serve(int fd, std::size_t index) {
  std::string pending;
  bool peerClosed = false, gone = false;
  char buf[8192];
  // Appends what arrives next; false once the peer has closed or failed.
  auto receive = [&] {
    ssize_t n = ::recv(fd, buf, sizeof buf, 0);
    if (n <= 0) {
      peerClosed = n == 0;
      gone = true;
      return false;
    }
    pending.append(buf, static_cast<size_t>(n));
    return true;
  };
  for (;;) {
    // One request: head up to the blank line, then the announced body.
    size_t headEnd;
    while ((headEnd = pending.find("\r\n\r\n")) == std::string::npos)
      if (!receive()) break;
    if (gone) break;
    size_t total = headEnd + 4 + contentLength(pending.substr(0, headEnd + 2));
    while (pending.size() < total)
      if (!receive()) break;
    if (gone) break;

    CannedResponse answer = CannedResponse::drop();
    {
      std::unique_lock lock(mutex_);
      requests_.push_back({index, pending.substr(0, total)});
      if (nextResponse_ < script_.size()) answer = script_[nextResponse_++];
      if (answer.delayMs > 0)
        changed_.wait_for(lock, std::chrono::milliseconds(answer.delayMs), [&] { return stopping_; });
      if (stopping_) break;
    }
    changed_.notify_all();
    pending.erase(0, total);
    if (answer.dropWithoutAnswer) break;
    writeAll(fd, answer.bytes);
    if (answer.closeAfter) break;
  }
  std::lock_guard lock(mutex_);
  if (peerClosed) closedByClient_[index] = true;
  ::close(fd);
  connectionFds_[index] = -1;
  changed_.notify_all();
}

}  // namespace qm::test
