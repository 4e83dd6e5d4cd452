// Dates of the proleptic Gregorian calendar as day numbers (0 = 1 January 1970), for the
// arithmetic of capture times and schedules, which are local wall-clock times.
#pragma once

#include <cstdint>

#include "platform/clock.h"

namespace mv {

inline bool IsLeapYear(std::int64_t year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

inline int DaysInMonth(std::int64_t year, int month) {
  constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

inline std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

// Sets year, month and day of time from a day number; the time of day stays.
inline void SetCivilDay(std::int64_t days, LocalTime& time) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t mp = (5 * dayOfYear + 2) / 153;
  time.day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
  time.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  time.year = static_cast<int>(yearOfEra + era * 400 + (time.month <= 2 ? 1 : 0));
}

inline std::int64_t CivilDayOf(const LocalTime& t) {
  return DaysFromCivil(t.year, t.month, t.day);
}

// Monday 0 to Sunday 6; 1 January 1970 was a Thursday.
inline int WeekdayOfDay(std::int64_t days) {
  return static_cast<int>(((days + 3) % 7 + 7) % 7);
}

// Seconds of a wall-clock time counted as if every day had 24 hours.
inline std::int64_t CivilSecondsOf(const LocalTime& t) {
  return CivilDayOf(t) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

}  // namespace mv
