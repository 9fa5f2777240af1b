// Connecting has its own limit: a read time-out of 300 ms must not end a
// request whose connection is still being set up.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/http_client.h"

namespace qm {
namespace {

// A listener that never accepts, with its accept queue full: the kernel
// leaves every further connection unanswered, as a server that is down
// behind a firewall does.
class FullListener {
 public:
  FullListener() {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), len) != 0 || ::listen(fd_, 0) != 0) return;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    for (int i = 0; i < 4; ++i) {
      const int c = ::socket(AF_INET, SOCK_STREAM, 0);
      ::fcntl(c, F_SETFL, O_NONBLOCK);
      ::connect(c, reinterpret_cast<sockaddr*>(&addr), len);
      fillers_.push_back(c);
    }
    // The first filler's handshake completes and fills the queue; the others stay pending.
    pollfd first{fillers_[0], POLLOUT, 0};
    ::poll(&first, 1, 60000);
  }
  ~FullListener() {
    for (int c : fillers_) ::close(c);
    if (fd_ >= 0) ::close(fd_);
  }
  int port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
  std::vector<int> fillers_;
};

TEST(HttpConnectLimit, ConnectingIsBoundByItsOwnLimitNotTheReadTimeOut) {
  FullListener listener;
  ASSERT_GT(listener.port(), 0);
  HttpClient client("IdHTTP3", 300);
  client.setTimeLimits(1500, 0);
  std::string error;
  try {
    client.post("http://127.0.0.1:" + std::to_string(listener.port()) + "/x", "{}");
  } catch (const HttpError& e) {
    error = e.what();
    EXPECT_EQ(e.status(), 0);
  }
  ASSERT_FALSE(error.empty()) << "the request went through";
  EXPECT_NE(error, "Read timed out.");
  // curl words a connect time-out either way, depending on where the
  // handshake was when the limit struck.
  const bool connectFailure = error.find("Failed to connect") != std::string::npos ||
                              error.find("Connection timeout after 1500 ms") != std::string::npos;
  EXPECT_TRUE(connectFailure) << error;
}

}  // namespace
}  // namespace qm
