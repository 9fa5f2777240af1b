#pragma once
// regsim: the substitute registration server. It stands in for the provincial
// servers in the demo and in tests, listening on 127.0.0.1 only.
//
// Login: user "demo", password "demo123" (RegSim::kUserName, RegSim::kPassword).
//
// Pages (UTF-8 HTML):
//   GET  /                      login page without a session, home page with one
//                               (userType:"<account type>" in its script, a "注销" link)
//   POST /login                 form _j_username, _j_password; on success Set-Cookie
//                               JSESSIONID=<hex>; Path=/; HttpOnly and 302 to "/"
//   GET  /logout                ends the session, 302 to "/"
//   GET  /jsp/public/head.jsp   keep-alive page: 200 with a session, 302 to "/" without
//   GET  /jsp/mems/xjgl/zhcx/zxscx/zxscx_list.jsp          in-school query page
//   GET  /jsp/mems/xsxxgl/zxxsxsxjyd/xjyd_zgbmsh_list.jsp  audit page, department accounts
//   GET  /jsp/mems/xsxxgl/zxxsxsxjyd/xjyd_xxsh_list.jsp    audit page, school accounts
//   GET  /jsp/mems/kszs/kszsSh_list.jsp, /jsp/mems/xjgl/zhcx/qsxscx/qsxscx_list.jsp,
//        /jsp/mems/xjgl/zhcx/byscx/byscx.jsp                menu pages
//        (all /jsp/mems pages 302 to "/" without a session)
//   GET  /sim/popup.html, /sim/child.html, /sim/closer.html, /sim/title?t=<text>
//                               window test pages, no session needed
//   POST /command/ajax/com.inspur.mems.xsxxgl.cmd.ZxxsXsJbxxQueryCmd/queryZxs
//                               in-school query service (session, and "ccrf-token:" equal to the
//                               session's token, else {"error":"invalid token"})
// Anything else answers 404.
//
// Every request is kept as it arrived (RawRequest) in arrival order. HTTP/1.1
// connections stay open unless the client says "Connection: close"; HTTP/1.0 ones
// close unless it says "Connection: Keep-Alive". Bodies need a Content-Length;
// chunked bodies are refused with 501.
#include <memory>
#include <string>
#include <vector>

#include "sim/http_message.h"
#include "sim/student_data.h"

namespace qm::sim {

struct RegSimOptions {
  int port = 0;              // 0: a free port
  int accountType = 2;       // 1: department account (12-character code, type "01"); else school ("04")
  unsigned seed = 1;         // student data seed
  int students = 120;
  int dropAtRequest = 0;     // query-service request number (from 1) whose connection closes unanswered
  int failStatusAt = 0;      // query-service request number answered with status 500
  int missingKeyAt = -1;     // 0-based student index whose record lacks ,"lxdh":
  bool keepAliveRedirect = false;  // head.jsp always redirects
  int delayMs = 0;           // delay before each query-service answer
  std::string logPath = {};  // when set, every raw request is appended to this file
};

class RegSim {
 public:
  static constexpr const char* kUserName = "demo";
  static constexpr const char* kPassword = "demo123";
  static constexpr const char* kQueryServicePath =
      "/command/ajax/com.inspur.mems.xsxxgl.cmd.ZxxsXsJbxxQueryCmd/queryZxs";

  explicit RegSim(RegSimOptions options = {});
  ~RegSim();  // stops the server
  RegSim(const RegSim&) = delete;
  RegSim& operator=(const RegSim&) = delete;

  // Listens on 127.0.0.1; false when the port cannot be bound.
  bool start();
  // Closes the listener and every connection and waits for their threads.
  void stop();
  int port() const;
  std::string host() const;  // "127.0.0.1:<port>"

  // Requests received so far, in arrival order.
  std::vector<RawRequest> requests() const;
  void clearRequests();
  // Query-service requests received so far (the count the fault options use).
  int queryRequestCount() const;

  // Opens a session as a login would and returns its cookie text "JSESSIONID=<id>".
  std::string loginCookie();
  // Token of the session named by a cookie text; empty when there is no such session.
  std::string tokenFor(const std::string& cookie) const;
  // Token of the session opened last; empty before any login.
  std::string token() const;

  const SchoolData& school() const;
  const std::vector<Student>& students() const;
  // The account's organisation code: 12 characters for account type 1, else 32.
  std::string organCode() const;
  // The query type the account uses: "01" for account type 1, else "04".
  std::string queryType() const;
  const RegSimOptions& options() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace qm::sim
