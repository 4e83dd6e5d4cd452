// The local clock and its texts in the pictures the snapshot names and headers use.
#pragma once

#include <string>
#include <string_view>

namespace mv {

struct LocalTime {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;   // 0..23
  int minute = 0;
  int second = 0;
};

inline constexpr std::string_view kDatePicture = "dd.MM.yyyy";    // 05.12.2026
inline constexpr std::string_view kTimePicture = "HH:mm:ss";      // 09:04:05
inline constexpr std::string_view kFileTimePicture = "HH.mm.ss";  // 09.04.05

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() = 0;
  // GetDateFormat/GetTimeFormat with an explicit picture (d, dd, M, MM, yy, yyyy for the
  // date; h, hh, H, HH, m, mm, s, ss for the time; other characters stand as they are).
  virtual std::string FormatDate(const LocalTime& time, std::string_view picture) = 0;
  virtual std::string FormatTime(const LocalTime& time, std::string_view picture) = 0;
};

// The backend of this build.
Clock& PlatformClock();

// The picture language itself, for backends and fakes that have no platform formatter.
std::string FormatPicture(const LocalTime& time, std::string_view picture);

}  // namespace mv
