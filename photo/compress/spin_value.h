#pragma once
// A number box: the value is kept to the box's range and may hold a fraction
// (the proportion rule puts width / ratio into it); it shows, and the tools
// use, the value rounded half to even.
#include <algorithm>

#include "photo/image/crop_rules.h"

namespace qm::photo {

class SpinValue {
 public:
  SpinValue(double value, int minimum, int maximum) : minimum_(minimum), maximum_(maximum) { set(value); }

  double value() const { return value_; }
  int shown() const { return roundHalfEven(value_); }
  int minimum() const { return minimum_; }
  int maximum() const { return maximum_; }

  void set(double v) { value_ = v == v ? std::clamp(v, double(minimum_), double(maximum_)) : minimum_; }
  void setMaximum(int maximum) {
    maximum_ = std::max(maximum, minimum_);
    set(value_);
  }

 private:
  double value_ = 0;
  int minimum_, maximum_;
};

}  // namespace qm::photo
