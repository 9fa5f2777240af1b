#pragma once
// 停止 during a duplicate-check request: the request in hand still finishes
// and its answer is logged. Only a server that has sent nothing for the limit
// since the press (or since its last bytes after the press) is given up, and
// that student gets "未得到反馈结果。". Read on the request's worker thread,
// written on the window's.
#include <atomic>
#include <chrono>
#include <cstdint>

namespace qm {

inline constexpr std::chrono::milliseconds kDuplicateStopSilence{60000};

class StopSilence {
 public:
  using Clock = std::chrono::steady_clock;

  explicit StopSilence(std::chrono::milliseconds limit = kDuplicateStopSilence) : limitMs_(limit.count()) {}

  void setLimit(std::chrono::milliseconds limit) { limitMs_ = limit.count(); }
  std::chrono::milliseconds limit() const { return std::chrono::milliseconds(limitMs_.load()); }

  // A run starts: no press, nothing abandoned.
  void reset();
  // 停止 (or the window closing): the silence clock starts now.
  void press(Clock::time_point now = Clock::now());
  bool pressed() const { return pressed_.load(); }
  // The server sent something (a header block, body bytes).
  void heard(Clock::time_point now = Clock::now());
  // The window is gone: a request still out ends at once.
  void abandon() { abandoned_ = true; }

  // True once the request in hand should be given up.
  bool givesUp(Clock::time_point now = Clock::now()) const;

 private:
  static std::int64_t ticks(Clock::time_point t) { return t.time_since_epoch().count(); }

  std::atomic<std::int64_t> limitMs_;
  std::atomic<bool> pressed_{false};
  std::atomic<bool> abandoned_{false};
  std::atomic<std::int64_t> pressedAt_{0};
  std::atomic<std::int64_t> heardAt_{0};
};

}  // namespace qm
