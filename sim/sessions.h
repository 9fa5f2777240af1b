#pragma once
// Logged-in sessions of the substitute server, kept in memory.
#include <mutex>
#include <random>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qm::sim {

struct Session {
  std::string id;     // the JSESSIONID value
  std::string token;  // anti-forgery token, UUID form, 36 characters
  std::string user;
  std::string captcha;  // code of the session's last captcha picture; empty once a query used it
};

class SessionStore {
 public:
  SessionStore();
  Session create(const std::string& user);
  // The first candidate id that names a live session; false when none does.
  bool find(const std::vector<std::string>& ids, Session& out) const;
  void end(const std::string& id);
  // Every session ends, as when the server drops them on a time-out.
  void endAll();
  // A new 4-digit captcha code for the session, replacing the last; empty when there is no such session.
  std::string newCaptcha(const std::string& id);
  // The session's captcha code, which is then gone: each code answers one query.
  std::string takeCaptcha(const std::string& id);
  std::string latestToken() const;

 private:
  std::string randomHex(int digits);
  mutable std::mutex mutex_;
  std::mt19937_64 rng_;
  std::unordered_map<std::string, Session> sessions_;
  std::string latestToken_;
};

// JSESSIONID values of every Cookie line of a request head, in order.
std::vector<std::string> sessionIdsFrom(std::string_view head);

}  // namespace qm::sim
