// The JSON query services and the captcha picture, with the fault options.
#include <chrono>
#include <cstdio>

#include "sim/captcha_image.h"
#include "sim/detail_service.h"
#include "sim/duplicate_service.h"
#include "sim/pages.h"
#include "sim/query_service.h"
#include "sim/regsim_impl.h"

namespace qm::sim {
namespace {

Outcome json(std::string body) {
  Outcome o;
  o.response.contentType = "application/json; charset=utf-8";
  o.response.body = std::move(body);
  return o;
}

bool tokenMatches(const RawRequest& r, const Session& session) {
  bool hasToken = false;
  const std::string token = headerValue(r.head, "ccrf-token", &hasToken);
  return hasToken && token == session.token;
}

}  // namespace

bool RegSim::Impl::hostileAnswer(Outcome& out) const {
  out = Outcome{};
  out.silent = options.neverAnswer;
  out.endless = !out.silent && options.endlessBody;
  return out.silent || out.endless;
}

Outcome RegSim::Impl::noSession() const {
  Outcome out;
  if (options.loginPageWhenLoggedOut) out.response.body = loginPage(false);
  else out.response = redirectTo("/");
  return out;
}

void RegSim::Impl::addHostileHeaders(Outcome& out) const {
  if (options.bareCrCookie) out.response.headers.push_back("Set-Cookie: qmcr=a\rb; Path=/");
}

Outcome RegSim::Impl::handleQueryService(const RawRequest& r) {
  const int number = ++queryRequests;
  if (options.delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(options.delayMs));
  Outcome out;
  if (hostileAnswer(out)) return out;
  if (number == options.dropAtRequest) {
    out.drop = true;
    return out;
  }
  if (number == options.failStatusAt) {
    out.response.status = 500;
    out.response.body = errorPage();
  } else {
    Session session;
    if (!sessions.find(sessionIdsFrom(r.head), session)) {
      out = noSession();
    } else if (!tokenMatches(r, session)) {
      out = json(invalidTokenAnswer());
    } else {
      const QueryAccount account{organCodeFor(), queryTypeFor(), options.missingKeyAt};
      out = json(queryAnswer(school, parseQueryBody(r.body), account));
    }
  }
  addHostileHeaders(out);
  return out;
}

Outcome RegSim::Impl::handleCaptcha(const RawRequest& r) {
  countSessionRequest();
  Session session;
  Outcome out;
  if (!sessions.find(sessionIdsFrom(r.head), session)) return noSession();
  const std::string code = sessions.newCaptcha(session.id);
  if (options.printCaptcha) {
    std::fprintf(stderr, "CAPTCHA %s\n", code.c_str());
    std::fflush(stderr);
  }
  out.response.contentType = "image/jpeg";
  out.response.body = captchaJpeg(code);
  if (out.response.body.empty()) {
    out.response.status = 500;
    out.response.contentType = "text/html; charset=utf-8";
    out.response.body = errorPage();
  }
  return out;
}

void RegSim::Impl::countSessionRequest() {
  if (++captchaAndProvinceRequests == options.sessionEndsAt) sessions.endAll();
}

Outcome RegSim::Impl::handleProvinceService(const RawRequest& r) {
  countSessionRequest();
  if (options.delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(options.delayMs));
  Outcome out;
  if (hostileAnswer(out)) return out;
  Session session;
  if (!sessions.find(sessionIdsFrom(r.head), session)) {
    out = noSession();
  } else {
    // Whatever the query, the code it was given is used up.
    const std::string expected = sessions.takeCaptcha(session.id);
    const ProvinceQuery query = parseProvinceQuery(r.body);
    if (!tokenMatches(r, session)) out = json(invalidTokenAnswer());
    else if (expected.empty() || query.captcha != expected) out = json(captchaFailedAnswer());
    else out = json(provinceAnswer(registry.find(query.idNumber)));
  }
  addHostileHeaders(out);
  return out;
}

Outcome RegSim::Impl::handleDetailService(const RawRequest& r) {
  Outcome out;
  if (hostileAnswer(out)) return out;
  Session session;
  if (!sessions.find(sessionIdsFrom(r.head), session)) {
    out = noSession();
  } else if (r.path == kClassServicePath) {
    out = json(classAnswer(school, detailKey(r.body, "XX_BJXX_ID@=")));
  } else {
    const std::string id = detailKey(r.body, "XS_JBXX_ID@=");
    out = json(r.path == kFamilyServicePath ? familyAnswer(school, id) : studentDetailAnswer(school, id, options.noClassAt));
  }
  addHostileHeaders(out);
  return out;
}

}  // namespace qm::sim
