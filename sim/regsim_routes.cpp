// What the substitute server answers to each request.
#include <chrono>
#include <map>

#include "sim/pages.h"
#include "sim/query_service.h"
#include "sim/regsim_impl.h"

namespace qm::sim {
namespace {

const char kQueryPagePath[] = "/jsp/mems/xjgl/zhcx/zxscx/zxscx_list.jsp";
const char kDepartmentAuditPath[] = "/jsp/mems/xsxxgl/zxxsxsxjyd/xjyd_zgbmsh_list.jsp";
const char kSchoolAuditPath[] = "/jsp/mems/xsxxgl/zxxsxsxjyd/xjyd_xxsh_list.jsp";

const std::map<std::string, std::string>& menuPages() {
  static const std::map<std::string, std::string> pages = {
      {"/jsp/mems/kszs/kszsSh_list.jsp", "跨省就学审核"},
      {"/jsp/mems/xjgl/zhcx/qsxscx/qsxscx_list.jsp", "全省学生查询"},
      {"/jsp/mems/xjgl/zhcx/byscx/byscx.jsp", "毕业生查询"},
  };
  return pages;
}

Outcome html(std::string body, int status = 200) {
  Outcome o;
  o.response.status = status;
  o.response.body = std::move(body);
  return o;
}

Outcome redirect(const std::string& location) {
  Outcome o;
  o.response = redirectTo(location);
  return o;
}

// Window test pages; false when the path is not one of them.
bool testPage(const RawRequest& r, Outcome& out) {
  if (r.path == "/sim/popup.html") out = html(popupPage());
  else if (r.path == "/sim/child.html") out = html(childPage());
  else if (r.path == "/sim/closer.html") out = html(closerPage());
  else if (r.path == "/sim/title") {
    const auto q = r.target.find('?');
    out = html(titlePage(q == std::string::npos ? std::string() : formValue(r.target.substr(q + 1), "t")));
  } else {
    return false;
  }
  return true;
}

}  // namespace

Outcome RegSim::Impl::handle(const RawRequest& r) {
  if (r.path == kQueryServicePath) return handleQueryService(r);
  Outcome out;
  if (testPage(r, out)) return out;

  Session session;
  const bool loggedIn = sessions.find(sessionIdsFrom(r.head), session);

  if (r.path == "/") return html(loggedIn ? homePage(options.accountType, session.user) : loginPage(false));
  if (r.path == "/login") {
    if (r.method != "POST") return redirect("/");
    if (formValue(r.body, "_j_username") != kUserName || formValue(r.body, "_j_password") != kPassword)
      return html(loginPage(true));
    const Session created = sessions.create(kUserName);
    out = redirect("/");
    out.response.headers.push_back("Set-Cookie: JSESSIONID=" + created.id + "; Path=/; HttpOnly");
    return out;
  }
  if (r.path == "/logout") {
    if (loggedIn) sessions.end(session.id);
    return redirect("/");
  }
  if (r.path == "/jsp/public/head.jsp")
    return (loggedIn && !options.keepAliveRedirect) ? html(keepAlivePage()) : redirect("/");

  const bool knownPage = r.path == kQueryPagePath || r.path == kDepartmentAuditPath ||
                         r.path == kSchoolAuditPath || menuPages().count(r.path);
  if (!knownPage) return html(notFoundPage(), 404);
  if (!loggedIn) return redirect("/");
  if (r.path == kQueryPagePath) return html(queryPage(options.accountType, organCodeFor(), session.token));
  if (r.path == kDepartmentAuditPath) return html(auditPage(true));
  if (r.path == kSchoolAuditPath) return html(auditPage(false));
  return html(menuPage(menuPages().at(r.path)));
}

Outcome RegSim::Impl::handleQueryService(const RawRequest& r) {
  const int number = ++queryRequests;
  if (options.delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(options.delayMs));
  Outcome out;
  if (number == options.dropAtRequest) {
    out.drop = true;
    return out;
  }
  if (number == options.failStatusAt) return html(errorPage(), 500);

  Session session;
  if (!sessions.find(sessionIdsFrom(r.head), session)) return redirect("/");
  out.response.contentType = "application/json; charset=utf-8";
  bool hasToken = false;
  const std::string token = headerValue(r.head, "ccrf-token", &hasToken);
  if (!hasToken || token != session.token) {
    out.response.body = invalidTokenAnswer();
    return out;
  }
  const QueryAccount account{organCodeFor(), queryTypeFor(), options.missingKeyAt};
  out.response.body = queryAnswer(school, parseQueryBody(r.body), account);
  return out;
}

}  // namespace qm::sim
