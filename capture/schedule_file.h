// The schedules file and the runs file, both beside config.ini, UTF-8, written whole or not
// at all (a temporary file renamed over the old one).
//
// The schedules file, for people and for deployment:
//   # comment (also ';'); blank lines are ignored
//   [Nightly]                      one section per schedule, named by it
//   group=OFFICE                   every computer of the group (repeatable)
//   computer=PC7                   this computer, all its shares (repeatable)
//   share=PC9\Docs                 this share of this computer (repeatable)
//   when=daily 02:00               or "weekdays mon,wed,fri 02:00", "every 6h from 00:15"
//   keep-daily=7                   retention after each run: keep-last, keep-daily,
//   keep-within=30d                keep-weekly, keep-monthly (counts), keep-within (span)
// Each schedule names at least one group, computer or share and has one when. A file that
// breaks these rules is refused whole, with the number of its first wrong line.
//
// The runs file, the program's own record:
//   [Nightly]
//   seen=2026-12-01 10:00:00                       when the schedule was first looked at
//   run=2026-12-08 02:00:00;2026-12-08 02:04:10;ok;12 snapshots
//   run=2026-12-09 02:00:00;2026-12-09 02:20:00;failed;PC7: not found on the network
// (start; end; ok or failed; what happened), oldest first, kKeptRunsPerSchedule at most.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "capture/schedule.h"
#include "platform/file_system.h"

namespace mv {

// The largest schedules or runs file read.
inline constexpr std::uint64_t kMaxScheduleFileBytes = 16u << 20;

struct ScheduleFileError {
  int line = 0;  // from 1; 0 when the file as a whole could not be read
  std::string message;
  // "schedules.ini, line 4: unknown key 'wen'".
  std::string Text(std::string_view fileName) const;
};

// Parses the schedules file; false with the first error. Empty text is no schedule.
bool ParseSchedules(std::string_view text, std::vector<Schedule>& schedules,
                    ScheduleFileError& error);
// The text of the file; every schedule must have a valid name, distinct ignoring case, and
// names without line breaks.
std::string FormatSchedules(const std::vector<Schedule>& schedules);

struct ScheduleRunRecord {
  LocalTime started;
  LocalTime ended;
  bool ok = true;
  std::string outcome;  // one line
};

struct ScheduleRuns {
  std::string name;
  std::optional<LocalTime> seen;
  std::vector<ScheduleRunRecord> runs;  // oldest first
  // The start of the last run, else when it was first seen; none before either.
  std::optional<LocalTime> Reference() const;
};

bool ParseScheduleRuns(std::string_view text, std::vector<ScheduleRuns>& runs,
                       ScheduleFileError& error);
std::string FormatScheduleRuns(const std::vector<ScheduleRuns>& runs);

// The record of name (ignoring case), added when missing.
ScheduleRuns& RunsOf(std::vector<ScheduleRuns>& runs, std::string_view name);
// Appends a run, dropping the oldest beyond kKeptRunsPerSchedule.
void AddScheduleRun(ScheduleRuns& runs, ScheduleRunRecord record);

// Reads a schedules or runs file: a missing file is empty text; any other failure, an
// error with line 0.
bool ReadScheduleFileText(FileSystem& fs, const std::string& path, std::string& text,
                          ScheduleFileError& error);
// Writes text to path whole or not at all.
IoError WriteScheduleFileText(FileSystem& fs, const std::string& path, std::string_view text);

// The files beside config.ini, in the folder of configFolder.
std::string ScheduleFilePath(const std::string& folder, const char* fileName);

}  // namespace mv
