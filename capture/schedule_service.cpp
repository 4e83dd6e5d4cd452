// Reading, listing and running the schedules: see schedule_service.h.
#include "capture/schedule_service.h"

#include "core/text.h"
#include "platform/file_lock.h"

namespace mv {
namespace {

std::string FolderOf(const std::string& file) {
  const std::size_t slash = file.find_last_of("/\\");
  return slash == std::string::npos ? std::string(".") : file.substr(0, slash);
}

bool ReadOne(FileSystem& fs, const std::string& path, std::string& text, std::string& error) {
  ScheduleFileError problem;
  if (ReadScheduleFileText(fs, path, text, problem)) return true;
  error = problem.Text(path);
  return false;
}

std::string WriteOne(FileSystem& fs, const std::string& path, const std::string& text) {
  const IoError error = WriteScheduleFileText(fs, path, text);
  return error == IoError::kNone ? std::string()
                                 : "cannot write " + path + ": " + DescribeIoError(error);
}

}  // namespace

ScheduleFiles ScheduleFilesAt(const std::string& schedulesPath) {
  ScheduleFiles files;
  files.schedulesPath = schedulesPath;
  const std::string folder = FolderOf(schedulesPath);
  files.runsPath = ScheduleFilePath(folder, kScheduleRunsFileName);
  files.lockPath = ScheduleFilePath(folder, kScheduleLockFileName);
  return files;
}

bool LoadScheduleFiles(FileSystem& fs, ScheduleFiles& files, std::string& error) {
  std::string text;
  ScheduleFileError problem;
  if (!ReadOne(fs, files.schedulesPath, text, error)) return false;
  if (!ParseSchedules(text, files.schedules, problem)) {
    error = problem.Text(files.schedulesPath);
    return false;
  }
  if (!ReadOne(fs, files.runsPath, text, error)) return false;
  if (!ParseScheduleRuns(text, files.runs, problem)) {
    error = problem.Text(files.runsPath);
    return false;
  }
  return true;
}

std::string SaveSchedules(FileSystem& fs, const ScheduleFiles& files) {
  return WriteOne(fs, files.schedulesPath, FormatSchedules(files.schedules));
}

std::string SaveScheduleRuns(FileSystem& fs, const ScheduleFiles& files) {
  return WriteOne(fs, files.runsPath, FormatScheduleRuns(files.runs));
}

std::string ScheduleWhatText(const Schedule& schedule) {
  std::string text;
  auto add = [&](const char* kind, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
      if (!text.empty()) text += ", ";
      text += kind + name;
    }
  };
  add("group ", schedule.groups);
  add("", schedule.computers);
  add("", schedule.shares);
  return text;
}

std::string NextRunText(const Schedule& schedule, const ScheduleRuns& runs, const LocalTime& now) {
  const LocalTime reference = runs.Reference().value_or(now);
  if (IsScheduleDue(schedule.when, reference, now)) return "due now";
  return ScheduleTimeText(NextScheduledTime(schedule.when, reference));
}

std::vector<std::size_t> DueSchedules(ScheduleFiles& files, const LocalTime& now,
                                      bool& firstSight) {
  std::vector<std::size_t> due;
  firstSight = false;
  for (std::size_t i = 0; i < files.schedules.size(); ++i) {
    ScheduleRuns& runs = RunsOf(files.runs, files.schedules[i].name);
    if (!runs.Reference()) {
      runs.seen = now;
      firstSight = true;
    } else if (IsScheduleDue(files.schedules[i].when, *runs.Reference(), now)) {
      due.push_back(i);
    }
  }
  return due;
}

ScheduleRound RunScheduleRound(
    FileSystem& fs, Clock& clock, const std::string& schedulesPath,
    const std::optional<std::string>& onlyName, const std::function<ScheduleRunContext*()>& context,
    const std::function<void(const Schedule&, const ScheduleRunRecord&)>& report) {
  ScheduleRound round;
  auto fail = [&](std::string error) {
    round.stop = ScheduleRound::Stop::kFailed;
    round.error = std::move(error);
    return round;
  };
  ScheduleFiles files = ScheduleFilesAt(schedulesPath);
  IoError lockError = IoError::kNone;
  const std::unique_ptr<FileLock> lock = TryLockFile(files.lockPath, lockError);
  if (lock == nullptr) {
    if (lockError == IoError::kSharingViolation) {
      round.stop = ScheduleRound::Stop::kLocked;
      round.error = "another run of the schedules is under way (" + files.lockPath + " is locked)";
      return round;
    }
    return fail("cannot lock " + files.lockPath + ": " + DescribeIoError(lockError));
  }
  // Read under the lock: the holder before may have recorded runs meanwhile.
  std::string error;
  if (!LoadScheduleFiles(fs, files, error)) return fail(error);

  std::vector<std::size_t> due;
  if (onlyName) {
    for (std::size_t i = 0; i < files.schedules.size(); ++i) {
      if (EqualsIgnoreCase(files.schedules[i].name, *onlyName)) due.push_back(i);
    }
    if (due.empty()) return fail("no schedule '" + *onlyName + "' in " + schedulesPath);
  } else {
    bool firstSight = false;
    due = DueSchedules(files, clock.Now(), firstSight);
    if (firstSight && !(error = SaveScheduleRuns(fs, files)).empty()) return fail(error);
  }
  if (due.empty()) return round;
  ScheduleRunContext* const running = context();
  if (running == nullptr) return fail("the capture could not be prepared");
  for (const std::size_t i : due) {
    const Schedule& schedule = files.schedules[i];
    ScheduleRunRecord record = RunSchedule(schedule, *running);
    AddScheduleRun(RunsOf(files.runs, schedule.name), record);
    ++round.ran;
    error = SaveScheduleRuns(fs, files);
    report(schedule, record);
    if (!error.empty()) return fail(error);
  }
  return round;
}

}  // namespace mv
