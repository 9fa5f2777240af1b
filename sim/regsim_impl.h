#pragma once
// Inside of RegSim, shared by the transport (regsim.cpp) and the routes (regsim_routes.cpp, routes_*.cpp).
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "sim/http_message.h"
#include "sim/province_registry.h"
#include "sim/regsim.h"
#include "sim/sessions.h"
#include "sim/student_data.h"

namespace qm::sim {

struct Outcome {
  Response response;
  bool drop = false;      // close the connection without answering
  long long bodyCut = -1; // >= 0: send the head and that many bytes of the body, then close
  bool endless = false;   // 200 with a chunked body that never ends
  bool silent = false;    // hold the connection open and send nothing
  // Set: these bytes go out as they are instead of the response, then the
  // connection closes, or is held open silently when holdAfterRaw.
  std::optional<std::string> raw;
  bool holdAfterRaw = false;
};

struct Connection {
  int fd = -1;  // -1 once the connection's thread has closed it
  int id = 0;
  std::atomic<bool> done{false};
  std::thread thread;
};

struct RegSim::Impl {
  explicit Impl(RegSimOptions o);

  Outcome handle(const RawRequest& request);
  Outcome handleGridPage(const RawRequest& request, const Session& session);
  Outcome handleQueryService(const RawRequest& request);
  Outcome handleCaptcha(const RawRequest& request);
  Outcome handleProvinceService(const RawRequest& request);
  Outcome handleDetailService(const RawRequest& request);
  Outcome handleUpdate(const RawRequest& request);
  Outcome handleDownload(const RawRequest& request);
  // The fault that the hostile options make of a JSON service's answer; false when none applies.
  bool hostileAnswer(Outcome& out) const;
  void addHostileHeaders(Outcome& out) const;
  // The answer to a request without a session: a redirect to "/", or the login page.
  Outcome noSession() const;
  void serve(Connection& connection);
  void acceptLoop();
  void record(const RawRequest& request);
  std::string organCodeFor() const { return options.accountType == 1 ? school.departmentCode : school.xxJbxxId; }
  std::string queryTypeFor() const { return options.accountType == 1 ? "01" : "04"; }

  RegSimOptions options;
  SchoolData school;
  ProvinceRegistry registry;
  SessionStore sessions;
  std::string announcedVersion;
  std::string updateProgram;  // empty when the given program file cannot be read
  std::string descriptorBytes;  // "quillmereup.txt" as served
  std::string signatureText;    // "quillmereup.sig"; empty when it cannot be made

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
  std::atomic<int> captchaAndProvinceRequests{0};
  // Counts a captcha picture or province query; ends every session at option sessionEndsAt.
  void countSessionRequest();
};

}  // namespace qm::sim
