#pragma once
// Inside of RegSim, shared by the transport (regsim.cpp) and the routes (regsim_routes.cpp).
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "sim/http_message.h"
#include "sim/regsim.h"
#include "sim/sessions.h"
#include "sim/student_data.h"

namespace qm::sim {

struct Outcome {
  Response response;
  bool drop = false;  // close the connection without answering
};

struct Connection {
  int fd = -1;  // -1 once the connection's thread has closed it
  int id = 0;
  std::atomic<bool> done{false};
  std::thread thread;
};

struct RegSim::Impl {
  explicit Impl(RegSimOptions o) : options(std::move(o)), school(makeSchoolData(options.seed, options.students)) {}

  Outcome handle(const RawRequest& request);
  Outcome handleQueryService(const RawRequest& request);
  void serve(Connection& connection);
  void acceptLoop();
  void record(const RawRequest& request);
  std::string organCodeFor() const { return options.accountType == 1 ? school.departmentCode : school.xxJbxxId; }
  std::string queryTypeFor() const { return options.accountType == 1 ? "01" : "04"; }

  RegSimOptions options;
  SchoolData school;
  SessionStore sessions;

  int listenFd = -1;
  int boundPort = 0;
  std::atomic<bool> running{false};
  std::thread acceptThread;
  std::mutex connectionsMutex;
  std::vector<std::unique_ptr<Connection>> connections;
  int nextConnectionId = 0;

  mutable std::mutex requestsMutex;
  std::vector<RawRequest> requests;
  std::size_t loggedRequests = 0;
  std::atomic<int> queryRequests{0};
};

}  // namespace qm::sim
