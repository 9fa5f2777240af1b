#pragma once
// regsim: the substitute registration server. It stands in for the provincial
// servers in the demo and in tests, listening on 127.0.0.1 only.
//
// Login: user "demo", password "demo123" (RegSim::kUserName, RegSim::kPassword).
//
// Pages (UTF-8 HTML):
//   GET  /                      login page without a session, home page with one
//                               (userType:"<account type>" in its script, a "注销" link).
//                               Login page INPUTs: _j_username (0), a hidden field (1), the
//                               password box _j_password (2), the submit button (3)
//   POST /login                 form _j_username, _j_password; on success Set-Cookie
//                               JSESSIONID=<hex>; Path=/; HttpOnly and 302 to "/"
//   GET  /logout                ends the session, 302 to "/"
//   GET  /jsp/public/head.jsp   keep-alive page: 200 with a session, 302 to "/" without
//   GET  /jsp/mems/xjgl/zhcx/zxscx/zxscx_list.jsp          in-school query page (grid below)
//   GET  /jsp/mems/xsxxgl/zxxsxsxjyd/xjyd_zgbmsh_list.jsp  audit page, department accounts
//   GET  /jsp/mems/xsxxgl/zxxsxsxjyd/xjyd_xxsh_list.jsp    audit page, school accounts
//   GET  /jsp/mems/xjgl/zhcx/qsxscx/qsxscx_list.jsp        province query page: the token as on the
//                               in-school page, a form and the captcha picture (a browser showing
//                               the page fetches a picture, and so a new code for the session)
//   GET  /jsp/mems/kszs/kszsSh_list.jsp, /jsp/mems/xjgl/zhcx/byscx/byscx.jsp   menu pages
//        (all /jsp/mems pages 302 to "/" without a session)
//   GET  /sim/popup.html, /sim/child.html, /sim/closer.html, /sim/title?t=<text>, /sim/inputs.html
//                               window test pages, no session needed
//   GET  /sim/downloads.html, /sim/download/<kind>   file downloads (downloads.h), no session needed
//
// Grids (grid_data.h, pages_scrape.h): one table per grid row, 20 rows a page, numbered
// among all tables of the document; "第" in the pager table's first read cell.
//   layout            header  rows     cells read  pager text / next / page box
//   in-school         6       7..26    3..15       l5-gen55 / l5-gen59 / l5-gen54
//   department audit  3       4..23    2..11       l5-gen35 / l5-gen39 / l5-gen34
//   school audit      3       4..23    2..11       l5-gen34 / l5-gen38 / l5-gen33
//   in-school details 4       5..24    2..11       l5-gen49 / l5-gen53 / l5-gen48  (option detailsLayout)
//   Pager text "，共 <pages> 页". The next-page button loads
//   GET  /sim/grid?kind=<zxs|zgbmsh|xxsh|zxsxx>&page=<n>   (session needed) and swaps the rows,
//                               the pager text and last the page box's value in place.
//
// JSON services (POST; a session, else 302 to "/", or the login page with option loginPageWhenLoggedOut):
//   .../ZxxsXsJbxxQueryCmd/queryZxs   in-school query ("ccrf-token:" equal to the session's token,
//                               else {"error":"invalid token"})
//   GET  /jsp/mems/xjgl/zhcx/qsxscx/imagegen.jsp[?anything]   captcha: a JPEG of 89x25 pixels with a new
//                               4-digit code, kept in the session (302 to "/" without one)
//   .../ZxxsXsJbxxQueryCmd/queryQsXs  province query: token as above; then "rdmCode" must equal the
//                               session's code, which each query uses up; else
//                               {"error":"\u9a8c\u8bc1\u7801\u6821\u9a8c\u5931\u8d25\uff01"} (验证码校验失败！).
//                               Answer {"total":N,"javaClass":"DataSet","rows":[{...,"XXMC":"<\u>",
//                               "CSRQ":"YYYY-MM-DD",...}]} by "sfzjh" (province_registry.h)
//   .../ZxxsXsJbxxQueryCmd            student details by "XS_JBXX_ID@="  } no token;
//   .../ZxxsXsJtcyQueryCmd/queryZs    family members by "XS_JBXX_ID@="  } detail_service.h
//   .../xxxxgl.cmd.ZxxsXxBjxxQueryCmd class by "XX_BJXX_ID@="          } gives the formats
//   (prefix /command/ajax/com.inspur.mems.xsxxgl.cmd., but the class query's is ...mems.xxxxgl.cmd.)
//
// Update server, no session (update_files.h): base address http://127.0.0.1:<port>/update/
//   GET  /update/quillmereup.txt (also .ini)   descriptor, GB18030, CR LF, section [file] with
//                               filename=quillmere, ver, sjxx, sha256 (hex SHA-256 of the program),
//                               section [companions] with pellow, drumsel, quorrit = their SHA-256
//   GET  /update/quillmereup.sig   Base64 of the Ed25519 signature over the descriptor's bytes
//   GET  /update/quillmere.jpg (also quillmere.exe, quillmere)   the new program
//   GET  /update/<stem>.jpg (also <stem>.exe, <stem>) for stem pellow, drumsel, quorrit: companions
//   The programs are stand-in shell scripts that write "<their own path>.started" (the version,
//   or the stem) and end; option updateProgramFile serves a file of one's own instead.
//
// Anything else answers 404.
//
// Every request is kept as it arrived (RawRequest) in arrival order. HTTP/1.1
// connections stay open unless the client says "Connection: close"; HTTP/1.0 ones
// close unless it says "Connection: Keep-Alive". Bodies need a Content-Length;
// chunked bodies are refused with 501.
#include <memory>
#include <string>
#include <vector>

#include "sim/detail_service.h"
#include "sim/grid_data.h"
#include "sim/http_message.h"
#include "sim/province_registry.h"
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
  int noClassAt = -1;        // 0-based student index whose details answer has an empty "xxBjxxId"
  bool keepAliveRedirect = false;  // head.jsp always redirects
  int delayMs = 0;           // delay before each in-school and province-wide query answer
  std::string logPath = {};  // when set, every raw request is appended to this file

  // List pages
  bool detailsLayout = false;  // the in-school query page in its second layout (pager l5-gen49/53/48)
  int gridRows = -1;           // rows of every grid; -1: all students (in-school), 23 records (audit)
  bool pagerStuck = false;     // the next-page button never advances: every page fetched is page 1
  int pageStepMs = 0;          // a slow pager: new rows this long after the page's answer, the page box
                               // as long after them

  // Province-wide query
  int outsidePeople = 9;       // people outside the school; person k is registered at k % 3 other schools
  bool printCaptcha = false;   // each new captcha code goes to stderr as "CAPTCHA <code>"
  int sessionEndsAt = 0;       // at this captcha-picture or province-query request (counted together,
                               // from 1) every session ends: that request and all later ones find none
  bool pageWithoutToken = false;  // the province query page's script lacks the token marker

  // Requests without a session (pages, services, the captcha picture) get 200 with the login
  // page (its _j_username input) instead of a 302 to "/"
  bool loginPageWhenLoggedOut = false;

  // Update server
  std::string updateVersion = {};  // the "ver" announced; empty: the built program's own (no update)
  bool updateSameVersion = false;  // announce the built program's own version (the default too)
  bool updateNoSection = false;    // descriptor without section [file]
  bool updateWrongHash = false;    // "sha256" that the program file does not have (a tampered program)
  bool updateDropDownload = false; // program and companion downloads close after half their body
  std::string updateProgramFile = {};  // serve this file's bytes as the new program
  // The signature "quillmereup.sig": made with this Ed25519 key (PEM); empty:
  // the test key tests/fixtures/update/test_update_key.pem.
  std::string updateKeyFile = {};
  bool updateUnsigned = false;        // the .sig answers 404
  bool updateTamperDescriptor = false;  // the descriptor served is not the one signed (its "ver" differs)
  bool updateCompanionWrongHash = false;  // [companions] hashes of other bytes
  // A fault of the download routes: "stall" (head and half the body, then
  // nothing), "endless" (200 with a body that never ends), "close-early" (200
  // without Content-Length, half the body, then close), "early-hints" (a 103
  // answer before the real one). Empty: none.
  std::string updateFault = {};
  // The file the fault applies to ("quillmereup.txt", "pellow.jpg"); empty:
  // the program and the companion downloads.
  std::string updateFaultFile = {};

  // Hostile answers of the JSON query services (in-school, province-wide and the three detail queries)
  bool endlessBody = false;    // 200 with a chunked body that never ends
  bool neverAnswer = false;    // the request is read, the connection held open, nothing sent
  bool bareCrCookie = false;   // every answer carries "Set-Cookie: qmcr=a<CR>b; Path=/"
};

class RegSim {
 public:
  static constexpr const char* kUserName = "demo";
  static constexpr const char* kPassword = "demo123";
  static constexpr const char* kQueryServicePath =
      "/command/ajax/com.inspur.mems.xsxxgl.cmd.ZxxsXsJbxxQueryCmd/queryZxs";
  static constexpr const char* kQueryPagePath = "/jsp/mems/xjgl/zhcx/zxscx/zxscx_list.jsp";
  static constexpr const char* kDepartmentAuditPath = "/jsp/mems/xsxxgl/zxxsxsxjyd/xjyd_zgbmsh_list.jsp";
  static constexpr const char* kSchoolAuditPath = "/jsp/mems/xsxxgl/zxxsxsxjyd/xjyd_xxsh_list.jsp";
  static constexpr const char* kGridFragmentPath = "/sim/grid";
  static constexpr const char* kProvincePagePath = "/jsp/mems/xjgl/zhcx/qsxscx/qsxscx_list.jsp";
  static constexpr const char* kCaptchaPath = "/jsp/mems/xjgl/zhcx/qsxscx/imagegen.jsp";
  static constexpr const char* kProvinceServicePath =
      "/command/ajax/com.inspur.mems.xsxxgl.cmd.ZxxsXsJbxxQueryCmd/queryQsXs";
  static constexpr const char* kDetailServicePath = "/command/ajax/com.inspur.mems.xsxxgl.cmd.ZxxsXsJbxxQueryCmd";
  static constexpr const char* kFamilyServicePath =
      "/command/ajax/com.inspur.mems.xsxxgl.cmd.ZxxsXsJtcyQueryCmd/queryZs";
  static constexpr const char* kClassServicePath = "/command/ajax/com.inspur.mems.xxxxgl.cmd.ZxxsXxBjxxQueryCmd";
  static constexpr const char* kUpdatePrefix = "/update/";

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

  // Rows of the grid of that layout, as the options make it.
  int gridRowCount(GridKind kind) const;

  // The session's current captcha code ("" when none is pending). For tests only:
  // Quillmere itself never learns it.
  std::string captchaCode(const std::string& cookie) const;
  // Registrations the province-wide query answers for an ID number.
  std::vector<Registration> provinceRegistrations(const std::string& idNumber) const;
  const std::vector<OutsidePerson>& outsidePeople() const;
  // What the detail queries answer for student index.
  StudentDetails studentDetails(std::size_t index) const;

  // "http://127.0.0.1:<port>/update/": the update server's base address.
  std::string updateBaseUrl() const;
  // The "ver" the descriptor announces.
  std::string announcedVersion() const;
  // The descriptor's bytes as served, and the signature file's text.
  std::string updateDescriptorBytes() const;
  std::string updateSignature() const;
  // Bytes of the program file, and of a companion file by its stem.
  std::string updateProgram() const;
  std::string companionFile(const std::string& stem) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace qm::sim
