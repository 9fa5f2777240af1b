// regsim: runs the substitute registration server until SIGINT or SIGTERM.
// Prints "LISTENING <port>" once it accepts connections.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "sim/regsim.h"

namespace {

void usage() {
  std::fprintf(stderr,
               "usage: regsim [--port N] [--account-type N] [--seed N] [--students N] [--drop-at N]\n"
               "              [--fail-status-at N] [--missing-key-at N] [--keepalive-redirect]\n"
               "              [--delay-ms N] [--log FILE]\n"
               "login: user \"%s\", password \"%s\"\n",
               qm::sim::RegSim::kUserName, qm::sim::RegSim::kPassword);
}

bool parseInt(const char* text, long long low, long long high, long long& out) {
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || v < low || v > high) return false;
  out = v;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  qm::sim::RegSimOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    if (flag == "--keepalive-redirect") {
      options.keepAliveRedirect = true;
      continue;
    }
    if (flag == "--help" || flag == "-h") {
      usage();
      return 0;
    }
    if (i + 1 >= argc) {
      std::fprintf(stderr, "regsim: %s needs a value\n", flag.c_str());
      usage();
      return 2;
    }
    const char* value = argv[++i];
    if (flag == "--log") {
      options.logPath = value;
      continue;
    }
    long long n = 0;
    bool ok = false;
    if (flag == "--port") ok = parseInt(value, 0, 65535, n), options.port = static_cast<int>(n);
    else if (flag == "--account-type") ok = parseInt(value, 0, 9, n), options.accountType = static_cast<int>(n);
    else if (flag == "--seed") ok = parseInt(value, 0, 4294967295ll, n), options.seed = static_cast<unsigned>(n);
    else if (flag == "--students") ok = parseInt(value, 0, 10000000, n), options.students = static_cast<int>(n);
    else if (flag == "--drop-at") ok = parseInt(value, 0, 1 << 30, n), options.dropAtRequest = static_cast<int>(n);
    else if (flag == "--fail-status-at") ok = parseInt(value, 0, 1 << 30, n), options.failStatusAt = static_cast<int>(n);
    else if (flag == "--missing-key-at") ok = parseInt(value, -1, 1 << 30, n), options.missingKeyAt = static_cast<int>(n);
    else if (flag == "--delay-ms") ok = parseInt(value, 0, 600000, n), options.delayMs = static_cast<int>(n);
    if (!ok) {
      std::fprintf(stderr, "regsim: bad option %s %s\n", flag.c_str(), value);
      usage();
      return 2;
    }
  }

  // Block the stop signals before any thread starts, so only sigwait below sees them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  qm::sim::RegSim server(options);
  if (!server.start()) {
    std::fprintf(stderr, "regsim: cannot listen on 127.0.0.1:%d: %s\n", options.port, std::strerror(errno));
    return 1;
  }
  std::cout << "LISTENING " << server.port() << std::endl;
  int signal = 0;
  sigwait(&stopSignals, &signal);
  server.stop();
  return 0;
}
