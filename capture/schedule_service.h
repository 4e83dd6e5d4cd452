// The schedules file and its runs file read together, and a round of runs: under the lock
// beside the files, every due schedule (or one named) runs in turn and each run is recorded
// as it ends. The window's timer and `mirrorvault-cli schedule` both go through here.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "capture/schedule.h"
#include "capture/schedule_file.h"
#include "capture/schedule_run.h"
#include "platform/file_system.h"

namespace mv {

struct ScheduleFiles {
  std::string schedulesPath, runsPath, lockPath;
  std::vector<Schedule> schedules;
  std::vector<ScheduleRuns> runs;
};

// The paths of the three files, from the schedules file's path; nothing read yet.
ScheduleFiles ScheduleFilesAt(const std::string& schedulesPath);

// Reads both files; false with the error's text ("schedules.ini, line 4: ...").
bool LoadScheduleFiles(FileSystem& fs, ScheduleFiles& files, std::string& error);
// Writes one of them whole; the error's text when that failed, else empty.
std::string SaveSchedules(FileSystem& fs, const ScheduleFiles& files);
std::string SaveScheduleRuns(FileSystem& fs, const ScheduleFiles& files);

// "group OFFICE, PC7, PC9\Docs".
std::string ScheduleWhatText(const Schedule& schedule);
// "due now", or the time of the next run.
std::string NextRunText(const Schedule& schedule, const ScheduleRuns& runs, const LocalTime& now);

// The positions of the schedules due at now, in file order. A schedule never looked at before
// is marked seen (its first time comes after this look) and is not due; firstSight tells.
std::vector<std::size_t> DueSchedules(ScheduleFiles& files, const LocalTime& now, bool& firstSight);

struct ScheduleRound {
  enum class Stop { kDone, kLocked, kFailed };
  Stop stop = Stop::kDone;
  std::string error;  // kFailed: what could not be read, written or locked
  int ran = 0;
};

// One round: takes the lock (another holder: kLocked, nothing runs), reads the files again,
// and runs every due schedule, or only the one named by onlyName whether due or not. The
// context is asked for once there is something to run (null: kFailed). report hears each run
// after it is recorded in the runs file.
ScheduleRound RunScheduleRound(
    FileSystem& fs, Clock& clock, const std::string& schedulesPath,
    const std::optional<std::string>& onlyName, const std::function<ScheduleRunContext*()>& context,
    const std::function<void(const Schedule&, const ScheduleRunRecord&)>& report);

}  // namespace mv
