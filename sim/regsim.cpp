// Sockets and threads of the substitute server: one thread per connection, so
// tests see requests byte for byte, with their connection, and dropped connections.
#include "sim/regsim.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>

#include "sim/regsim_impl.h"

namespace qm::sim {
namespace {

constexpr std::size_t kMaxHead = 64 * 1024;
constexpr unsigned long long kMaxBody = 64ull * 1024 * 1024;

enum class ReadStatus { Ok, Closed, Bad };

bool sendAll(int fd, const std::string& data) {
  std::size_t sent = 0;
  while (sent < data.size()) {
    const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

bool receiveMore(int fd, std::string& buffer) {
  char chunk[16384];
  for (;;) {
    const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    buffer.append(chunk, static_cast<std::size_t>(n));
    return true;
  }
}

// Where the head ends: the blank line after CRLF lines, or after bare LF lines.
bool findHeadEnd(const std::string& buffer, std::size_t& headLength, std::size_t& consumed) {
  const auto crlf = buffer.find("\r\n\r\n");
  const auto lf = buffer.find("\n\n");
  if (crlf == std::string::npos && lf == std::string::npos) return false;
  if (lf == std::string::npos || (crlf != std::string::npos && crlf + 1 <= lf)) {
    headLength = crlf + 2;
    consumed = crlf + 4;
  } else {
    headLength = lf + 1;
    consumed = lf + 2;
  }
  return true;
}

// Reads one request from the connection; the buffer keeps bytes of the next one.
ReadStatus readRequest(int fd, std::string& buffer, RawRequest& request, Response& error) {
  std::size_t headLength = 0, consumed = 0;
  while (!findHeadEnd(buffer, headLength, consumed)) {
    if (buffer.size() > kMaxHead) {
      error.status = 431;
      return ReadStatus::Bad;
    }
    if (!receiveMore(fd, buffer)) return ReadStatus::Closed;
  }
  if (headLength > kMaxHead) {
    error.status = 431;
    return ReadStatus::Bad;
  }
  request.head = buffer.substr(0, headLength);
  buffer.erase(0, consumed);
  error.status = 400;
  if (!parseRequestLine(request)) return ReadStatus::Bad;
  bool chunked = false;
  headerValue(request.head, "Transfer-Encoding", &chunked);
  if (chunked) {
    error.status = 501;
    return ReadStatus::Bad;
  }
  bool hasLength = false;
  const std::string lengthText = headerValue(request.head, "Content-Length", &hasLength);
  unsigned long long length = 0;
  if (hasLength) {
    if (lengthText.empty() || lengthText.size() > 12) return ReadStatus::Bad;
    for (const char c : lengthText) {
      if (c < '0' || c > '9') return ReadStatus::Bad;
      length = length * 10 + static_cast<unsigned>(c - '0');
    }
    if (length > kMaxBody) {
      error.status = 413;
      return ReadStatus::Bad;
    }
  }
  // curl waits a second for this before sending a larger body.
  std::string expect = headerValue(request.head, "Expect");
  for (auto& c : expect) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (length > buffer.size() && expect == "100-continue" && request.version == "HTTP/1.1")
    sendAll(fd, "HTTP/1.1 100 Continue\r\n\r\n");
  while (buffer.size() < length)
    if (!receiveMore(fd, buffer)) return ReadStatus::Closed;
  request.body = buffer.substr(0, length);
  buffer.erase(0, length);
  return ReadStatus::Ok;
}

// Answer sent, then read what the client still sends for a moment, so closing
// with unread bytes does not reset the connection before the answer is read.
void lingeringClose(int fd) {
  ::shutdown(fd, SHUT_WR);
  timeval timeout{0, 200000};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  char chunk[16384];
  for (std::size_t total = 0; total < (1u << 20);) {
    const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
    if (n <= 0) break;
    total += static_cast<std::size_t>(n);
  }
}

bool wantsKeepAlive(const RawRequest& request) {
  std::string connection = headerValue(request.head, "Connection");
  for (auto& c : connection) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (connection.find("close") != std::string::npos) return false;
  if (request.version == "HTTP/1.0") return connection.find("keep-alive") != std::string::npos;
  return true;
}

// Reads and drops whatever the client sends until it closes, or stop() shuts the socket.
void holdSilently(int fd) {
  char chunk[4096];
  for (;;) {
    const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
  }
}

// A JSON answer that never ends: a chunk about every millisecond until the client
// goes away or the server stops.
void sendEndlessBody(int fd, const std::atomic<bool>& running) {
  if (!sendAll(fd, "HTTP/1.1 200 OK\r\nContent-Type: application/json; charset=utf-8\r\n"
                   "Transfer-Encoding: chunked\r\nConnection: close\r\n\r\n"))
    return;
  auto chunk = [](const std::string& data) {
    char size[24];
    std::snprintf(size, sizeof size, "%zx\r\n", data.size());
    return size + data + "\r\n";
  };
  if (!sendAll(fd, chunk("{\"result\":{\"javaClass\":\"com.inspur.mems.xsxxgl.data.ZxxsXsJbxxPage\",\"list\":[")))
    return;
  std::string filler;
  while (filler.size() < 16384) filler += "{\"xxbsm\":\"0000000000\",\"xm\":\"\\u6d4b\\u8bd5\"},";
  const std::string piece = chunk(filler);
  while (running && sendAll(fd, piece)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

}  // namespace

void RegSim::Impl::record(const RawRequest& request) {
  std::lock_guard lock(requestsMutex);
  requests.push_back(request);
  ++loggedRequests;
  if (options.logPath.empty()) return;
  // An append-only trace for people reading along; a lost tail costs nothing.
  if (FILE* f = std::fopen(options.logPath.c_str(), "ab")) {
    std::fprintf(f, "===== regsim request %zu, connection %d, body %zu bytes =====\n", loggedRequests,
                 request.connectionId, request.body.size());
    std::fwrite(request.head.data(), 1, request.head.size(), f);
    std::fwrite("\r\n", 1, 2, f);
    std::fwrite(request.body.data(), 1, request.body.size(), f);
    std::fprintf(f, "\n===== end of request %zu =====\n", loggedRequests);
    std::fclose(f);
  }
}

void RegSim::Impl::serve(Connection& connection) {
  std::string buffer;
  for (;;) {
    RawRequest request;
    Response error;
    const ReadStatus status = readRequest(connection.fd, buffer, request, error);
    if (status == ReadStatus::Closed) break;
    if (status == ReadStatus::Bad) {
      error.contentType = "text/plain; charset=utf-8";
      error.body = "bad request\n";
      if (sendAll(connection.fd, serializeResponse(error, false))) lingeringClose(connection.fd);
      break;
    }
    request.connectionId = connection.id;
    record(request);
    const Outcome outcome = handle(request);
    if (outcome.drop) break;
    if (outcome.silent) {
      holdSilently(connection.fd);
      break;
    }
    if (outcome.raw) {
      if (sendAll(connection.fd, *outcome.raw) && outcome.holdAfterRaw) holdSilently(connection.fd);
      break;
    }
    if (outcome.endless) {
      sendEndlessBody(connection.fd, running);
      break;
    }
    if (outcome.bodyCut >= 0) {
      std::string bytes = serializeResponse(outcome.response, false);
      const auto cut = std::min<std::size_t>(static_cast<std::size_t>(outcome.bodyCut), outcome.response.body.size());
      bytes.resize(bytes.size() - outcome.response.body.size() + cut);
      sendAll(connection.fd, bytes);
      break;
    }
    const bool keepAlive = wantsKeepAlive(request) && running;
    if (!sendAll(connection.fd, serializeResponse(outcome.response, keepAlive)) || !keepAlive) break;
  }
  std::lock_guard lock(connectionsMutex);
  ::close(connection.fd);
  connection.fd = -1;
  connection.done = true;
}

void RegSim::Impl::acceptLoop() {
  while (running) {
    const int fd = ::accept(listenFd, nullptr, nullptr);
    if (fd < 0) {
      if (!running) break;
      if (errno == EINTR || errno == ECONNABORTED || errno == EMFILE || errno == ENFILE) {
        if (errno == EMFILE || errno == ENFILE) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        continue;
      }
      break;
    }
    std::lock_guard lock(connectionsMutex);
    // Join the threads of connections that have ended.
    for (auto it = connections.begin(); it != connections.end();) {
      if ((*it)->done) {
        (*it)->thread.join();
        it = connections.erase(it);
      } else {
        ++it;
      }
    }
    auto connection = std::make_unique<Connection>();
    connection->fd = fd;
    connection->id = ++nextConnectionId;
    Connection* raw = connection.get();
    connection->thread = std::thread([this, raw] { serve(*raw); });
    connections.push_back(std::move(connection));
  }
}

RegSim::RegSim(RegSimOptions options) : impl_(std::make_unique<Impl>(std::move(options))) {}

RegSim::~RegSim() { stop(); }

bool RegSim::start() {
  if (impl_->running) return true;
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(impl_->options.port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (impl_->options.port < 0 || impl_->options.port > 65535 ||
      ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 128) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(fd);
    return false;
  }
  impl_->listenFd = fd;
  impl_->boundPort = ntohs(address.sin_port);
  impl_->running = true;
  impl_->acceptThread = std::thread([this] { impl_->acceptLoop(); });
  return true;
}

void RegSim::stop() {
  if (!impl_->running.exchange(false)) return;
  ::shutdown(impl_->listenFd, SHUT_RDWR);
  impl_->acceptThread.join();
  ::close(impl_->listenFd);
  impl_->listenFd = -1;
  std::vector<std::unique_ptr<Connection>> connections;
  {
    std::lock_guard lock(impl_->connectionsMutex);
    for (auto& c : impl_->connections)
      if (c->fd >= 0) ::shutdown(c->fd, SHUT_RDWR);
    connections.swap(impl_->connections);
  }
  for (auto& c : connections) c->thread.join();
}

int RegSim::port() const { return impl_->boundPort; }

std::string RegSim::host() const { return "127.0.0.1:" + std::to_string(impl_->boundPort); }

std::vector<RawRequest> RegSim::requests() const {
  std::lock_guard lock(impl_->requestsMutex);
  return impl_->requests;
}

void RegSim::clearRequests() {
  std::lock_guard lock(impl_->requestsMutex);
  impl_->requests.clear();
}

int RegSim::queryRequestCount() const { return impl_->queryRequests; }

}  // namespace qm::sim
