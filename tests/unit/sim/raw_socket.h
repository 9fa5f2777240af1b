#pragma once
// A client socket that shows the bytes as they come, and the close.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <string>

namespace qm::test {

class ClientSocket {
 public:
  explicit ClientSocket(int port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    timeval timeout{10, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  ~ClientSocket() { ::close(fd_); }
  bool send(const std::string& bytes) {
    return connected_ && ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
  }
  // Bytes read until at least min have come or the server closed; false on close.
  bool receive(std::string& into, std::size_t min) {
    char chunk[65536];
    while (into.size() < min) {
      const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
      if (n <= 0) return false;
      into.append(chunk, static_cast<std::size_t>(n));
    }
    return true;
  }
  // Everything until the server closes; false when the read timed out instead.
  bool receiveAll(std::string& into) {
    char chunk[65536];
    for (;;) {
      const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
      if (n == 0) return true;
      if (n < 0) return false;
      into.append(chunk, static_cast<std::size_t>(n));
    }
  }
  // Whether anything (bytes or the close) arrives within ms.
  bool stirsWithin(int ms) {
    pollfd p{fd_, POLLIN, 0};
    return ::poll(&p, 1, ms) > 0;
  }

 private:
  int fd_ = -1;
  bool connected_ = false;
};

}  // namespace qm::test
