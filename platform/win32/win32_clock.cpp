// The local clock on Windows: GetLocalTime, and the system's own date and time formatters
// with explicit pictures (so the user's locale cannot change a snapshot's name).
#include <windows.h>

#include "platform/clock.h"

namespace mv {
namespace {

SYSTEMTIME ToSystemTime(const LocalTime& time) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(time.year);
  st.wMonth = static_cast<WORD>(time.month);
  st.wDay = static_cast<WORD>(time.day);
  st.wHour = static_cast<WORD>(time.hour);
  st.wMinute = static_cast<WORD>(time.minute);
  st.wSecond = static_cast<WORD>(time.second);
  return st;
}

class Win32Clock final : public Clock {
 public:
  LocalTime Now() override {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    return LocalTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
  }

  std::string FormatDate(const LocalTime& time, std::string_view picture) override {
    const SYSTEMTIME st = ToSystemTime(time);
    const std::string pictureText(picture);
    char text[256];
    if (GetDateFormatA(0, 0, &st, pictureText.c_str(), text, sizeof text) == 0) {
      return FormatPicture(time, picture);  // an invalid date: keep the digits anyway
    }
    return text;
  }

  std::string FormatTime(const LocalTime& time, std::string_view picture) override {
    const SYSTEMTIME st = ToSystemTime(time);
    const std::string pictureText(picture);
    char text[256];
    if (GetTimeFormatA(0, 0, &st, pictureText.c_str(), text, sizeof text) == 0) {
      return FormatPicture(time, picture);
    }
    return text;
  }
};

}  // namespace

Clock& PlatformClock() {
  static Win32Clock clock;
  return clock;
}

}  // namespace mv
