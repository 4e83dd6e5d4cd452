// Scheduled captures: what a schedule captures (names, found again at each run), when it runs
// (daily, on chosen weekdays, or every N hours, in local wall-clock time), what it keeps
// afterwards, and when it is due.
//
// Due times are wall-clock times compared with the last run's start: a time that a
// daylight-saving change skips is due as soon as the clock has passed it, and a time that
// it repeats is due once, since the run of its first pass lies after it. A run missed while
// the machine was off is due once at the next look, not once per missed time.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/snapshot_retention.h"
#include "platform/clock.h"

namespace mv {

// Files beside config.ini.
inline constexpr char kSchedulesFileName[] = "schedules.ini";
inline constexpr char kScheduleRunsFileName[] = "schedule-runs.ini";
inline constexpr char kScheduleLockFileName[] = "schedules.lock";

// Runs kept per schedule in the runs file, the oldest going first.
inline constexpr std::size_t kKeptRunsPerSchedule = 100;
// A computer that cannot be reached is tried again within its run, this often and after
// this pause each time.
inline constexpr int kUnreachableRetryCount = 3;
inline constexpr int kUnreachableRetryIntervalSeconds = 300;
// The longest schedule name, in bytes.
inline constexpr std::size_t kMaxScheduleNameBytes = 100;

enum class ScheduleRepeat { kDaily, kWeekdays, kEveryHours };

struct ScheduleWhen {
  ScheduleRepeat repeat = ScheduleRepeat::kDaily;
  // Daily and weekdays: the time of day. Every N hours: the first time of each day; the
  // others follow N hours apart until midnight.
  int hour = 0;
  int minute = 0;
  unsigned weekdays = 0;  // weekdays: bit 0 Monday ... bit 6 Sunday
  int everyHours = 0;     // every N hours: 1 to 24
};

// "daily 02:00", "weekdays mon,wed,fri 02:00", "every 6h from 00:15"; false for other text.
bool ParseScheduleWhen(std::string_view text, ScheduleWhen& when);
std::string ScheduleWhenText(const ScheduleWhen& when);

struct Schedule {
  std::string name;
  // What to capture, by name, ignoring case: every computer of these groups, these
  // computers with all their shares (those added later too), these shares ("COMPUTER\SHARE").
  std::vector<std::string> groups;
  std::vector<std::string> computers;
  std::vector<std::string> shares;
  ScheduleWhen when;
  RetentionPolicy retention;  // applied after each run when it has a rule
};

// Whether a schedule name can stand as a section name in the schedules file: 1 to
// kMaxScheduleNameBytes bytes of UTF-8, no control character, no '[' or ']', no leading or
// trailing blank.
bool IsValidScheduleName(std::string_view name);

// The first time the schedule is due after `after` (strictly later), as a wall-clock time.
LocalTime NextScheduledTime(const ScheduleWhen& when, const LocalTime& after);

// Whether a schedule whose last run began at `reference` (or, never run, was first seen
// then) is due at now.
bool IsScheduleDue(const ScheduleWhen& when, const LocalTime& reference, const LocalTime& now);

// Wall-clock times in order; "2026-12-08 02:00:00" as the files write them.
bool IsEarlier(const LocalTime& a, const LocalTime& b);
std::string ScheduleTimeText(const LocalTime& time);
bool ParseScheduleTime(std::string_view text, LocalTime& time);

}  // namespace mv
