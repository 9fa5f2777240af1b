#include "sim/sessions.h"

#include "sim/http_message.h"

namespace qm::sim {

SessionStore::SessionStore() : rng_(std::random_device{}()) {}

std::string SessionStore::randomHex(int digits) {
  static const char kHex[] = "0123456789abcdef";
  std::string s;
  for (int i = 0; i < digits; ++i) s += kHex[rng_() % 16];
  return s;
}

Session SessionStore::create(const std::string& user) {
  std::lock_guard lock(mutex_);
  Session s;
  do {
    s.id = randomHex(32);
  } while (sessions_.count(s.id));
  s.token = randomHex(8) + "-" + randomHex(4) + "-" + randomHex(4) + "-" + randomHex(4) + "-" + randomHex(12);
  s.user = user;
  sessions_[s.id] = s;
  latestToken_ = s.token;
  return s;
}

bool SessionStore::find(const std::vector<std::string>& ids, Session& out) const {
  std::lock_guard lock(mutex_);
  for (const auto& id : ids) {
    const auto it = sessions_.find(id);
    if (it != sessions_.end()) {
      out = it->second;
      return true;
    }
  }
  return false;
}

void SessionStore::end(const std::string& id) {
  std::lock_guard lock(mutex_);
  sessions_.erase(id);
}

void SessionStore::endAll() {
  std::lock_guard lock(mutex_);
  sessions_.clear();
}

std::string SessionStore::newCaptcha(const std::string& id) {
  std::lock_guard lock(mutex_);
  const auto it = sessions_.find(id);
  if (it == sessions_.end()) return {};
  std::string code;
  for (int i = 0; i < 4; ++i) code += static_cast<char>('0' + rng_() % 10);
  return it->second.captcha = code;
}

std::string SessionStore::takeCaptcha(const std::string& id) {
  std::lock_guard lock(mutex_);
  const auto it = sessions_.find(id);
  if (it == sessions_.end()) return {};
  std::string code;
  code.swap(it->second.captcha);
  return code;
}

std::string SessionStore::latestToken() const {
  std::lock_guard lock(mutex_);
  return latestToken_;
}

std::vector<std::string> sessionIdsFrom(std::string_view head) {
  std::vector<std::string> ids;
  for (const auto& line : headerValues(head, "Cookie")) {
    std::size_t start = 0;
    while (start < line.size()) {
      std::size_t end = line.find(';', start);
      if (end == std::string::npos) end = line.size();
      std::string_view pair(line.data() + start, end - start);
      while (!pair.empty() && pair.front() == ' ') pair.remove_prefix(1);
      constexpr std::string_view kName = "JSESSIONID=";
      if (pair.substr(0, kName.size()) == kName) ids.emplace_back(pair.substr(kName.size()));
      start = end + 1;
    }
  }
  return ids;
}

}  // namespace qm::sim
