#include "server/duplicate/stop_silence.h"

#include <algorithm>

namespace qm {

void StopSilence::reset() {
  pressed_ = false;
  abandoned_ = false;
  pressedAt_ = 0;
  heardAt_ = 0;
}

void StopSilence::press(Clock::time_point now) {
  // A second press does not move the clock: the first one asked already.
  if (pressed_) return;
  pressedAt_ = ticks(now);  // before the flag: the worker reads them in the other order
  pressed_ = true;
}

void StopSilence::heard(Clock::time_point now) { heardAt_ = ticks(now); }

bool StopSilence::givesUp(Clock::time_point now) const {
  if (abandoned_) return true;
  if (!pressed_) return false;
  const std::int64_t since = std::max(pressedAt_.load(), heardAt_.load());
  const auto silent = now - Clock::time_point(Clock::duration(since));
  return silent >= limit();
}

}  // namespace qm
