// A clock that always reads the same moment, for output that must not depend on the day.
#pragma once

#include <string>
#include <string_view>

#include "platform/clock.h"

namespace mv {

class FixedClock : public Clock {
 public:
  explicit FixedClock(LocalTime time) : time_(time) {}
  LocalTime Now() override { return time_; }
  std::string FormatDate(const LocalTime& t, std::string_view picture) override {
    return FormatPicture(t, picture);
  }
  std::string FormatTime(const LocalTime& t, std::string_view picture) override {
    return FormatPicture(t, picture);
  }

 private:
  LocalTime time_;
};

}  // namespace mv
