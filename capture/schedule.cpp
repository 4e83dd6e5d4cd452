// Schedule times: the texts of "when", and the next wall-clock time a schedule is due.
#include "capture/schedule.h"

#include <cstdio>

#include "core/civil_date.h"
#include "core/text.h"
#include "platform/utf8_text.h"

namespace mv {
namespace {

constexpr const char* kWeekdayNames[7] = {"mon", "tue", "wed", "thu", "fri", "sat", "sun"};

// "HH:MM" with a real time of day.
bool ParseClockTime(std::string_view text, int& hour, int& minute) {
  if (text.size() != 5 || text[2] != ':') return false;
  for (const std::size_t at : {0u, 1u, 3u, 4u}) {
    if (text[at] < '0' || text[at] > '9') return false;
  }
  hour = (text[0] - '0') * 10 + (text[1] - '0');
  minute = (text[3] - '0') * 10 + (text[4] - '0');
  return hour < 24 && minute < 60;
}

std::string ClockTimeText(int hour, int minute) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", hour % 100, minute % 100);
  return text;
}

// The words of text between single spaces.
std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && text[at] == ' ') ++at;
    const std::size_t from = at;
    while (at < text.size() && text[at] != ' ') ++at;
    if (at > from) words.push_back(text.substr(from, at - from));
  }
  return words;
}

bool ParseWeekdays(std::string_view text, unsigned& weekdays) {
  weekdays = 0;
  std::size_t from = 0;
  for (;;) {
    const std::size_t comma = text.find(',', from);
    const std::string_view word = text.substr(from, comma - from);
    bool known = false;
    for (unsigned d = 0; d < 7; ++d) {
      if (EqualsIgnoreCase(word, kWeekdayNames[d])) {
        weekdays |= 1u << d;
        known = true;
      }
    }
    if (!known) return false;
    if (comma == std::string_view::npos) return weekdays != 0;
    from = comma + 1;
  }
}

// Whether the schedule runs at some time on the day with this number.
bool RunsOnDay(const ScheduleWhen& when, std::int64_t day) {
  return when.repeat != ScheduleRepeat::kWeekdays ||
         (when.weekdays & (1u << WeekdayOfDay(day))) != 0;
}

}  // namespace

bool ParseScheduleWhen(std::string_view text, ScheduleWhen& when) {
  const std::vector<std::string_view> words = Words(text);
  ScheduleWhen parsed;
  if (words.size() == 2 && EqualsIgnoreCase(words[0], "daily")) {
    parsed.repeat = ScheduleRepeat::kDaily;
    if (!ParseClockTime(words[1], parsed.hour, parsed.minute)) return false;
  } else if (words.size() == 3 && EqualsIgnoreCase(words[0], "weekdays")) {
    parsed.repeat = ScheduleRepeat::kWeekdays;
    if (!ParseWeekdays(words[1], parsed.weekdays) ||
        !ParseClockTime(words[2], parsed.hour, parsed.minute)) {
      return false;
    }
  } else if ((words.size() == 2 || words.size() == 4) && EqualsIgnoreCase(words[0], "every")) {
    parsed.repeat = ScheduleRepeat::kEveryHours;
    const std::string_view hours = words[1];
    if (hours.size() < 2 || hours.size() > 3 || (hours.back() != 'h' && hours.back() != 'H')) {
      return false;
    }
    parsed.everyHours = 0;
    for (std::size_t i = 0; i + 1 < hours.size(); ++i) {
      if (hours[i] < '0' || hours[i] > '9') return false;
      parsed.everyHours = parsed.everyHours * 10 + (hours[i] - '0');
    }
    if (parsed.everyHours < 1 || parsed.everyHours > 24) return false;
    if (words.size() == 4 && (!EqualsIgnoreCase(words[2], "from") ||
                              !ParseClockTime(words[3], parsed.hour, parsed.minute))) {
      return false;
    }
  } else {
    return false;
  }
  when = parsed;
  return true;
}

std::string ScheduleWhenText(const ScheduleWhen& when) {
  switch (when.repeat) {
    case ScheduleRepeat::kDaily:
      return "daily " + ClockTimeText(when.hour, when.minute);
    case ScheduleRepeat::kWeekdays: {
      std::string days;
      for (unsigned d = 0; d < 7; ++d) {
        if ((when.weekdays & (1u << d)) == 0) continue;
        if (!days.empty()) days += ',';
        days += kWeekdayNames[d];
      }
      return "weekdays " + days + " " + ClockTimeText(when.hour, when.minute);
    }
    case ScheduleRepeat::kEveryHours:
      return "every " + std::to_string(when.everyHours) + "h from " +
             ClockTimeText(when.hour, when.minute);
  }
  return std::string();
}

bool IsValidScheduleName(std::string_view name) {
  if (name.empty() || name.size() > kMaxScheduleNameBytes) return false;
  if (name.front() == ' ' || name.back() == ' ') return false;
  std::size_t at = 0;
  char32_t c = 0;
  while (at < name.size()) {
    if (!NextCodePoint(name, at, c)) return false;
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || c == '[' || c == ']') return false;
  }
  return true;
}

bool IsEarlier(const LocalTime& a, const LocalTime& b) {
  return CivilSecondsOf(a) < CivilSecondsOf(b);
}

LocalTime NextScheduledTime(const ScheduleWhen& when, const LocalTime& after) {
  const std::int64_t firstDay = CivilDayOf(after);
  const int step = when.repeat == ScheduleRepeat::kEveryHours ? when.everyHours : 24;
  // A week and a day always hold one: every schedule runs at least once a week.
  for (std::int64_t day = firstDay; day <= firstDay + 8; ++day) {
    if (!RunsOnDay(when, day)) continue;
    for (int hour = when.hour; hour<24; hour += step> 0 ? step : 24) {
      LocalTime slot;
      SetCivilDay(day, slot);
      slot.hour = hour;
      slot.minute = when.minute;
      if (IsEarlier(after, slot)) return slot;
    }
  }
  return after;  // no weekday chosen: never due
}

bool IsScheduleDue(const ScheduleWhen& when, const LocalTime& reference, const LocalTime& now) {
  const LocalTime next = NextScheduledTime(when, reference);
  return IsEarlier(reference, next) && !IsEarlier(now, next);
}

std::string ScheduleTimeText(const LocalTime& t) {
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year % 10000, t.month % 100,
                t.day % 100, t.hour % 100, t.minute % 100, t.second % 100);
  return text;
}

bool ParseScheduleTime(std::string_view text, LocalTime& time) {
  // "yyyy-mm-dd HH:MM:SS": the digits at their places, the rest as written.
  constexpr std::string_view kPicture = "0000-00-00 00:00:00";
  if (text.size() != kPicture.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if ((kPicture[i] == '0') != digit || (!digit && text[i] != kPicture[i])) return false;
  }
  auto number = [&](std::size_t from, std::size_t count) {
    int value = 0;
    for (std::size_t i = from; i < from + count; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  LocalTime t{number(0, 4),  number(5, 2),  number(8, 2),
              number(11, 2), number(14, 2), number(17, 2)};
  if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > DaysInMonth(t.year, t.month) ||
      t.hour > 23 || t.minute > 59 || t.second > 59) {
    return false;
  }
  time = t;
  return true;
}

}  // namespace mv
