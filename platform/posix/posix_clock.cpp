// The local clock on Linux; texts through the shared picture formatter.
#include <ctime>

#include "platform/clock.h"

namespace mv {
namespace {

class PosixClock final : public Clock {
 public:
  LocalTime Now() override {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                     tm.tm_hour,        tm.tm_min,     tm.tm_sec};
  }
  std::string FormatDate(const LocalTime& time, std::string_view picture) override {
    return FormatPicture(time, picture);
  }
  std::string FormatTime(const LocalTime& time, std::string_view picture) override {
    return FormatPicture(time, picture);
  }
};

}  // namespace

Clock& PlatformClock() {
  static PosixClock clock;
  return clock;
}

}  // namespace mv
