// What RegSim tells tests about its sessions and data.
#include "sim/regsim.h"

#include "sim/regsim_impl.h"
#include "sim/update_files.h"

namespace qm::sim {
namespace {

// The session a cookie text names.
bool sessionOf(const SessionStore& sessions, const std::string& cookie, Session& session) {
  return sessions.find(sessionIdsFrom("GET / HTTP/1.1\r\nCookie: " + cookie + "\r\n"), session);
}

}  // namespace

std::string RegSim::loginCookie() { return "JSESSIONID=" + impl_->sessions.create(kUserName).id; }

std::string RegSim::tokenFor(const std::string& cookie) const {
  Session session;
  return sessionOf(impl_->sessions, cookie, session) ? session.token : std::string();
}

std::string RegSim::token() const { return impl_->sessions.latestToken(); }

const SchoolData& RegSim::school() const { return impl_->school; }

const std::vector<Student>& RegSim::students() const { return impl_->school.students; }

std::string RegSim::organCode() const { return impl_->organCodeFor(); }

std::string RegSim::queryType() const { return impl_->queryTypeFor(); }

const RegSimOptions& RegSim::options() const { return impl_->options; }

int RegSim::gridRowCount(GridKind kind) const {
  return sim::gridRowCount(impl_->school, kind, impl_->options.gridRows);
}

std::string RegSim::captchaCode(const std::string& cookie) const {
  Session session;
  return sessionOf(impl_->sessions, cookie, session) ? session.captcha : std::string();
}

std::vector<Registration> RegSim::provinceRegistrations(const std::string& idNumber) const {
  return impl_->registry.find(idNumber);
}

const std::vector<OutsidePerson>& RegSim::outsidePeople() const { return impl_->registry.outsidePeople(); }

StudentDetails RegSim::studentDetails(std::size_t index) const {
  return sim::studentDetails(impl_->school.students.at(index), index);
}

std::string RegSim::updateBaseUrl() const { return "http://" + host() + kUpdatePrefix; }

std::string RegSim::announcedVersion() const { return impl_->announcedVersion; }

std::string RegSim::updateDescriptorBytes() const { return impl_->descriptorBytes; }

std::string RegSim::updateSignature() const { return impl_->signatureText; }

std::string RegSim::updateProgram() const { return impl_->updateProgram; }

std::string RegSim::companionFile(const std::string& stem) const {
  return isCompanionStem(stem) ? standInCompanion(stem) : std::string();
}

}  // namespace qm::sim
