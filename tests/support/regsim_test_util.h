#pragma once
// Test helpers around the substitute server: an in-process RegSim on a free
// port, and a plain-socket HTTP client that shows answers byte for byte.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sim/regsim.h"

namespace qm::test {

// RegSim started on a free loopback port for the life of the object.
struct StartedRegSim {
  explicit StartedRegSim(sim::RegSimOptions options = {}) : sim(std::move(options)) { started = sim.start(); }
  sim::RegSim sim;
  bool started = false;
};

struct HttpReply {
  bool ok = false;  // a whole answer arrived
  int status = 0;
  std::string head;  // status line and header lines
  std::string body;

  // First header with that name (ASCII case ignored), blanks trimmed; empty when absent.
  std::string header(std::string_view name) const {
    std::size_t pos = head.find("\r\n");
    while (pos != std::string::npos && pos + 2 < head.size()) {
      const std::size_t start = pos + 2;
      pos = head.find("\r\n", start);
      const std::string line = head.substr(start, pos == std::string::npos ? std::string::npos : pos - start);
      const auto colon = line.find(':');
      if (colon == std::string::npos || colon != name.size()) continue;
      bool same = true;
      for (std::size_t i = 0; i < colon; ++i)
        same = same && std::tolower(static_cast<unsigned char>(line[i])) ==
                           std::tolower(static_cast<unsigned char>(name[i]));
      if (!same) continue;
      std::string value = line.substr(colon + 1);
      while (!value.empty() && value.front() == ' ') value.erase(0, 1);
      while (!value.empty() && value.back() == ' ') value.pop_back();
      return value;
    }
    return {};
  }
};

// One client connection to 127.0.0.1. Reads time out after 10 s, so a server
// that never answers fails the test instead of hanging it.
class RawHttpConnection {
 public:
  explicit RawHttpConnection(int port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    timeval timeout{10, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  ~RawHttpConnection() {
    if (fd_ >= 0) ::close(fd_);
  }
  RawHttpConnection(const RawHttpConnection&) = delete;
  RawHttpConnection& operator=(const RawHttpConnection&) = delete;

  bool connected() const { return connected_; }

  bool send(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (n <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
  }

  // One answer; the server's answers always carry a Content-Length.
  HttpReply read() {
    HttpReply reply;
    std::size_t end;
    while ((end = buffer_.find("\r\n\r\n")) == std::string::npos)
      if (!receive()) return reply;
    reply.head = buffer_.substr(0, end + 2);
    buffer_.erase(0, end + 4);
    reply.status = std::atoi(reply.head.c_str() + reply.head.find(' ') + 1);
    const std::size_t length = std::strtoul(reply.header("Content-Length").c_str(), nullptr, 10);
    while (buffer_.size() < length)
      if (!receive()) return reply;
    reply.body = buffer_.substr(0, length);
    buffer_.erase(0, length);
    reply.ok = true;
    return reply;
  }

  // True when the server has closed the connection with nothing more to read.
  bool closedByServer() { return buffer_.empty() && !receive(); }

  HttpReply exchange(std::string_view request) { return send(request) ? read() : HttpReply{}; }

 private:
  bool receive() {
    char chunk[16384];
    const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
    if (n <= 0) return false;
    buffer_.append(chunk, static_cast<std::size_t>(n));
    return true;
  }

  int fd_ = -1;
  bool connected_ = false;
  std::string buffer_;
};

// A request on a fresh connection.
inline HttpReply httpExchange(int port, std::string_view request) {
  RawHttpConnection connection(port);
  return connection.exchange(request);
}

// "GET <path> HTTP/1.1" with Host and, when given, a "Cookie:" line.
inline std::string getRequest(const sim::RegSim& sim, const std::string& path, const std::string& cookie = {}) {
  std::string request = "GET " + path + " HTTP/1.1\r\nHost: " + sim.host() + "\r\n";
  if (!cookie.empty()) request += "Cookie: " + cookie + "\r\n";
  return request + "\r\n";
}

}  // namespace qm::test
