// mirrorvault-cli schedule list|run NAME|run-due: the schedules file of the window, for Task
// Scheduler or cron to run when nobody is logged on. Runs hold the lock beside the file, so
// the window and a second process never run schedules at the same time.
#include <charconv>
#include <ostream>

#include "capture/schedule.h"
#include "capture/schedule_file.h"
#include "capture/schedule_run.h"
#include "capture/take_snapshots.h"
#include "cli/args.h"
#include "cli/cli.h"
#include "cli/smb_choice.h"
#include "cli/terminal_text.h"
#include "core/text.h"
#include "net/network_browser.h"
#include "platform/file_lock.h"
#include "platform/locked_tree_port.h"
#include "platform/memory/in_memory_network.h"
#include "platform/memory/memory_tree_port.h"
#include "platform/network_description.h"
#include "platform/threading.h"

namespace mv::cli {
namespace {

// The end-of-job message of each capture: the run's record says what failed.
class QuietNotices : public NoticePort {
 public:
  MessageAnswer ShowMessage(const std::string&, MessageKind) override { return MessageAnswer::kOk; }
  void SetStatusText(int, const std::string&) override {}
};

std::string FolderOf(const std::string& file) {
  const std::size_t slash = file.find_last_of("/\\");
  return slash == std::string::npos ? std::string(".") : file.substr(0, slash);
}

struct ScheduleFiles {
  std::string schedulesPath, runsPath, lockPath;
  std::vector<Schedule> schedules;
  std::vector<ScheduleRuns> runs;
};

bool LoadScheduleFiles(const std::string& schedulesPath, ScheduleFiles& files, std::ostream& err) {
  FileSystem& fs = PlatformFileSystem();
  files.schedulesPath = schedulesPath;
  const std::string folder = FolderOf(schedulesPath);
  files.runsPath = ScheduleFilePath(folder, kScheduleRunsFileName);
  files.lockPath = ScheduleFilePath(folder, kScheduleLockFileName);
  std::string text;
  ScheduleFileError error;
  if (!ReadScheduleFileText(fs, schedulesPath, text, error) ||
      !ParseSchedules(text, files.schedules, error)) {
    err << "mirrorvault-cli: " << VisibleText(error.Text(schedulesPath)) << "\n";
    return false;
  }
  if (!ReadScheduleFileText(fs, files.runsPath, text, error) ||
      !ParseScheduleRuns(text, files.runs, error)) {
    err << "mirrorvault-cli: " << VisibleText(error.Text(files.runsPath)) << "\n";
    return false;
  }
  return true;
}

bool SaveRuns(const ScheduleFiles& files, std::ostream& err) {
  const IoError error =
      WriteScheduleFileText(PlatformFileSystem(), files.runsPath, FormatScheduleRuns(files.runs));
  if (error == IoError::kNone) return true;
  err << "mirrorvault-cli: cannot write " << files.runsPath << ": " << DescribeIoError(error)
      << "\n";
  return false;
}

std::string WhatText(const Schedule& s) {
  std::string text;
  auto add = [&](const char* kind, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
      if (!text.empty()) text += ", ";
      text += kind + name;
    }
  };
  add("group ", s.groups);
  add("", s.computers);
  add("", s.shares);
  return text;
}

int List(const ScheduleFiles& files, std::ostream& out) {
  const LocalTime now = PlatformClock().Now();
  std::string lines;
  for (const Schedule& s : files.schedules) {
    std::vector<ScheduleRuns> runs = files.runs;
    const ScheduleRuns& r = RunsOf(runs, s.name);
    AppendShown(lines, s.name);
    lines += "\n  what: ";
    AppendShown(lines, WhatText(s));
    lines += "\n  when: " + ScheduleWhenText(s.when) + "\n  last run: ";
    if (r.runs.empty()) {
      lines += "never";
    } else {
      const ScheduleRunRecord& last = r.runs.back();
      lines += ScheduleTimeText(last.started) + (last.ok ? " ok: " : " failed: ");
      AppendShown(lines, last.outcome);
    }
    const LocalTime reference = r.Reference().value_or(now);
    lines += "\n  next run: " +
             (IsScheduleDue(s.when, reference, now)
                  ? std::string("due now")
                  : ScheduleTimeText(NextScheduledTime(s.when, reference))) +
             "\n";
  }
  out << lines;
  return kExitOk;
}

}  // namespace

int RunScheduleCommand(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(
      args,
      {"--schedules", "--snapshots", "--network", "--unc-root", "--codepage", "--retry-pause"}, {});
  if (!parsed.error.empty()) return UsageError(err, parsed.error);
  if (parsed.positionals.empty())
    return UsageError(err, "schedule needs list, run NAME or run-due");
  const std::string& action = parsed.positionals[0];
  const bool list = action == "list" && parsed.positionals.size() == 1;
  const bool runOne = action == "run" && parsed.positionals.size() == 2;
  const bool runDue = action == "run-due" && parsed.positionals.size() == 1;
  if (!list && !runOne && !runDue) {
    return UsageError(err, "schedule needs list, run NAME or run-due");
  }
  const std::string schedulesPath = parsed.Option("--schedules").value_or("");
  if (schedulesPath.empty()) return UsageError(err, "schedule needs --schedules FILE");
  const std::string snapshots = parsed.Option("--snapshots").value_or("");
  if (!list && snapshots.empty()) return UsageError(err, "schedule run needs --snapshots DIR");
  unsigned codePage = kDefaultCodePage;
  std::string usageError;
  if (!ReadSnapshotCodePage(parsed, codePage, usageError)) return UsageError(err, usageError);

  int retryPause = kUnreachableRetryIntervalSeconds;
  if (const auto pause = parsed.Option("--retry-pause")) {
    const char* end = pause->data() + pause->size();
    const auto [stop, problem] = std::from_chars(pause->data(), end, retryPause);
    if (problem != std::errc() || stop != end || retryPause < 0 || retryPause > 86400) {
      return UsageError(err, "--retry-pause needs seconds from 0 to 86400");
    }
  }

  ScheduleFiles files;
  if (!LoadScheduleFiles(schedulesPath, files, err)) return kExitFailure;
  if (list) return List(files, out);

  const Schedule* only = nullptr;
  if (runOne) {
    for (const Schedule& s : files.schedules) {
      if (EqualsIgnoreCase(s.name, parsed.positionals[1])) only = &s;
    }
    if (only == nullptr) {
      err << "mirrorvault-cli: no schedule '" << VisibleText(parsed.positionals[1]) << "' in "
          << schedulesPath << "\n";
      return kExitFailure;
    }
  }
  IoError lockError = IoError::kNone;
  const std::unique_ptr<FileLock> lock = TryLockFile(files.lockPath, lockError);
  if (lock == nullptr) {
    err << "mirrorvault-cli: "
        << (lockError == IoError::kSharingViolation
                ? "another run of the schedules is under way (" + files.lockPath + " is locked)"
                : "cannot lock " + files.lockPath + ": " + DescribeIoError(lockError))
        << "\n";
    return runDue && lockError == IoError::kSharingViolation ? kExitOk : kExitFailure;
  }
  // Read again under the lock: the holder before may have recorded runs meanwhile.
  if (!LoadScheduleFiles(schedulesPath, files, err)) return kExitFailure;

  Clock& clock = PlatformClock();
  std::vector<const Schedule*> due;
  const LocalTime now = clock.Now();
  bool firstSight = false;
  for (const Schedule& s : files.schedules) {
    if (runOne) {
      if (EqualsIgnoreCase(s.name, parsed.positionals[1])) due.push_back(&s);
      continue;
    }
    ScheduleRuns& r = RunsOf(files.runs, s.name);
    if (!r.Reference()) {
      r.seen = now;  // its first time comes after this look
      firstSight = true;
    } else if (IsScheduleDue(s.when, *r.Reference(), now)) {
      due.push_back(&s);
    }
  }
  if (firstSight && !SaveRuns(files, err)) return kExitFailure;
  if (due.empty()) return kExitOk;

  if (const auto root = parsed.Option("--unc-root")) SetUncRoot(*root);
  NetworkDescription description;
  InMemoryNetwork described;
  NetworkPort* network = &PlatformNetwork();
  if (const auto file = parsed.Option("--network")) {
    if (!ReadDescription(*file, description, err)) return kExitFailure;
    described.AddDescribed(description, "Described Network");
    network = &described;
  }
  MemoryTreePort shownTree;
  LockedTreePort tree(shownTree);
  TaskGate gate;
  NetworkBrowser browser(tree, *network, gate);
  QuietNotices notices;
  CaptureJob job(browser, notices, gate, PlatformFileSystem(), clock);
  job.SetAnsiCodePage(codePage);
  if (!StartCaptureTasks(job, browser, err)) return kExitFailure;
  ScheduleRunContext context{
      browser, job, gate, PlatformFileSystem(), clock, snapshots, [](int seconds) {
        SleepMilliseconds(1000u * static_cast<unsigned>(seconds));
      }};
  context.retryIntervalSeconds = retryPause;
  int code = kExitOk;
  for (const Schedule* s : due) {
    ScheduleRunRecord record = mv::RunSchedule(*s, context);
    std::string line;
    AppendShown(line, s->name);
    line += record.ok ? ": ok: " : ": failed: ";
    AppendShown(line, record.outcome);
    out << line << "\n";
    if (!record.ok) code = kExitFailure;
    AddScheduleRun(RunsOf(files.runs, s->name), std::move(record));
    if (!SaveRuns(files, err)) code = kExitFailure;
  }
  job.Shutdown();
  browser.Shutdown();
  return code;
}

}  // namespace mv::cli
