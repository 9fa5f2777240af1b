// What the substitute server answers to each request: the dispatch, login and the pages.
#include <cstdlib>
#include <map>

#include "sim/downloads.h"
#include "sim/duplicate_service.h"
#include "sim/pages.h"
#include "sim/pages_scrape.h"
#include "sim/regsim_impl.h"
#include "sim/update_files.h"

namespace qm::sim {
namespace {

const std::map<std::string, std::string>& menuPages() {
  static const std::map<std::string, std::string> pages = {
      {"/jsp/mems/kszs/kszsSh_list.jsp", "跨省就学审核"},
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

std::string queryString(const RawRequest& r) {
  const auto q = r.target.find('?');
  return q == std::string::npos ? std::string() : r.target.substr(q + 1);
}

// Window test pages; false when the path is not one of them.
bool testPage(const RawRequest& r, Outcome& out) {
  if (r.path == "/sim/popup.html") out = html(popupPage());
  else if (r.path == "/sim/child.html") out = html(childPage());
  else if (r.path == "/sim/closer.html") out = html(closerPage());
  else if (r.path == "/sim/title") out = html(titlePage(formValue(queryString(r), "t")));
  else if (r.path == "/sim/inputs.html") out = html(inputsPage());
  else return false;
  return true;
}

bool isSessionPage(const std::string& path) {
  return path == RegSim::kQueryPagePath || path == RegSim::kDepartmentAuditPath ||
         path == RegSim::kSchoolAuditPath || path == RegSim::kProvincePagePath ||
         path == RegSim::kGridFragmentPath || menuPages().count(path);
}

}  // namespace

RegSim::Impl::Impl(RegSimOptions o)
    : options(std::move(o)),
      school(makeSchoolData(options.seed, options.students)),
      registry(school, options.seed, options.outsidePeople) {
  // No update by default: a demo that asked at every start would ask over the login page.
  announcedVersion = !options.updateVersion.empty() ? options.updateVersion : builtProgramVersion();
  updateProgram = options.updateProgramFile.empty() ? standInProgram(announcedVersion)
                                                    : readWholeFile(options.updateProgramFile);
  const UpdateSettings settings{announcedVersion, options.updateNoSection, options.updateWrongHash, updateProgram,
                                options.updateCompanionWrongHash};
  descriptorBytes = updateDescriptor(settings);
  signatureText = signUpdateDescriptor(
      descriptorBytes, options.updateKeyFile.empty() ? defaultUpdateKeyFile() : options.updateKeyFile);
  if (options.updateTamperDescriptor) {
    // What someone on the way would serve: the same text announcing another version.
    UpdateSettings tampered = settings;
    tampered.version = "99";
    descriptorBytes = updateDescriptor(tampered);
  }
}

Outcome RegSim::Impl::handle(const RawRequest& r) {
  if (r.path == kQueryServicePath) return handleQueryService(r);
  if (r.path == kProvinceServicePath) return handleProvinceService(r);
  if (r.path == kDetailServicePath || r.path == kFamilyServicePath || r.path == kClassServicePath)
    return handleDetailService(r);
  if (r.path == kCaptchaPath) return handleCaptcha(r);
  if (r.path.rfind(kUpdatePrefix, 0) == 0) return handleUpdate(r);
  if (r.path.rfind(kDownloadPrefix, 0) == 0 || r.path == kDownloadsPagePath) return handleDownload(r);
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

  if (!isSessionPage(r.path)) return html(notFoundPage(), 404);
  if (!loggedIn) return noSession();
  if (r.path == kProvincePagePath) {
    const std::string script = options.pageWithoutToken
                                   ? "var userType = " + std::to_string(options.accountType) + ";\n"
                                   : queryPageScript(options.accountType, organCodeFor(), session.token);
    return html(provinceQueryPage(script, kCaptchaPath, kProvinceServicePath));
  }
  if (menuPages().count(r.path)) return html(menuPage(menuPages().at(r.path)));
  return handleGridPage(r, session);
}

Outcome RegSim::Impl::handleGridPage(const RawRequest& r, const Session& session) {
  if (r.path == kGridFragmentPath) {
    GridKind kind;
    if (!gridKindByName(formValue(queryString(r), "kind"), kind)) return html(notFoundPage(), 404);
    // A stuck pager gets page 1 whatever it asks for.
    const int page = options.pagerStuck ? 1 : std::atoi(formValue(queryString(r), "page").c_str());
    return html(gridFragment(school, kind, sim::gridRowCount(school, kind, options.gridRows), page));
  }
  GridPage page;
  if (r.path == kQueryPagePath) {
    page.kind = options.detailsLayout ? GridKind::InSchoolDetails : GridKind::InSchool;
    page.title = "在校学生查询";
    page.headScript = queryPageScript(options.accountType, organCodeFor(), session.token);
  } else {
    const bool department = r.path == kDepartmentAuditPath;
    page.kind = department ? GridKind::DepartmentAudit : GridKind::SchoolAudit;
    page.title = department ? "学籍异动审核（主管部门）" : "学籍异动审核（学校）";
  }
  page.rows = sim::gridRowCount(school, page.kind, options.gridRows);
  page.stepMs = options.pageStepMs;
  return html(gridPage(school, page));
}

}  // namespace qm::sim
