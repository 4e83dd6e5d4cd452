// mirrorvault-cli schedule list|run NAME|run-due: the schedules file of the window, for Task
// Scheduler or cron to run when nobody is logged on. Runs hold the lock beside the file, so
// the window and a second process never run schedules at the same time.
#include <charconv>
#include <memory>
#include <optional>
#include <ostream>

#include "capture/schedule.h"
#include "capture/schedule_file.h"
#include "capture/schedule_run.h"
#include "capture/schedule_service.h"
#include "capture/take_snapshots.h"
#include "cli/args.h"
#include "cli/cli.h"
#include "cli/smb_choice.h"
#include "cli/terminal_text.h"
#include "core/text.h"
#include "net/network_browser.h"
#include "platform/locked_tree_port.h"
#include "platform/memory/in_memory_network.h"
#include "platform/memory/memory_tree_port.h"
#include "platform/network_description.h"
#include "platform/threading.h"
#include "query/indexed_find.h"

namespace mv::cli {
namespace {

// The end-of-job message of each capture: the run's record says what failed.
class QuietNotices : public NoticePort {
 public:
  MessageAnswer ShowMessage(const std::string&, MessageKind) override { return MessageAnswer::kOk; }
  void SetStatusText(int, const std::string&) override {}
};

int List(const ScheduleFiles& files, std::ostream& out) {
  const LocalTime now = PlatformClock().Now();
  std::string lines;
  for (const Schedule& s : files.schedules) {
    std::vector<ScheduleRuns> runs = files.runs;
    const ScheduleRuns& r = RunsOf(runs, s.name);
    AppendShown(lines, s.name);
    lines += "\n  what: ";
    AppendShown(lines, ScheduleWhatText(s));
    lines += "\n  when: " + ScheduleWhenText(s.when) + "\n  last run: ";
    if (r.runs.empty()) {
      lines += "never";
    } else {
      const ScheduleRunRecord& last = r.runs.back();
      lines += ScheduleTimeText(last.started) + (last.ok ? " ok: " : " failed: ");
      AppendShown(lines, last.outcome);
    }
    lines += "\n  next run: " + NextRunText(s, r, now) + "\n";
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

  FileSystem& fs = PlatformFileSystem();
  if (list) {
    ScheduleFiles files = ScheduleFilesAt(schedulesPath);
    std::string error;
    if (!LoadScheduleFiles(fs, files, error)) {
      err << "mirrorvault-cli: " << VisibleText(error) << "\n";
      return kExitFailure;
    }
    return List(files, out);
  }

  // The network and the capture are made only once something is due.
  struct Running {
    NetworkDescription description;
    InMemoryNetwork described;
    MemoryTreePort shownTree;
    LockedTreePort tree{shownTree};
    TaskGate gate;
    QuietNotices notices;
    std::unique_ptr<NetworkBrowser> browser;
    std::unique_ptr<CaptureJob> job;
    std::unique_ptr<ScheduleRunContext> context;
  } running;
  bool prepareFailed = false;
  auto prepare = [&]() -> ScheduleRunContext* {
    if (const auto root = parsed.Option("--unc-root")) SetUncRoot(*root);
    NetworkPort* network = &PlatformNetwork();
    if (const auto file = parsed.Option("--network")) {
      if (!ReadDescription(*file, running.description, err)) {
        prepareFailed = true;
        return nullptr;
      }
      running.described.AddDescribed(running.description, "Described Network");
      network = &running.described;
    }
    running.browser = std::make_unique<NetworkBrowser>(running.tree, *network, running.gate);
    running.job = std::make_unique<CaptureJob>(*running.browser, running.notices, running.gate, fs,
                                               PlatformClock());
    running.job->SetAnsiCodePage(codePage);
    if (!StartCaptureTasks(*running.job, *running.browser, err)) {
      prepareFailed = true;
      return nullptr;
    }
    running.context.reset(new ScheduleRunContext{
        *running.browser, *running.job, running.gate, fs, PlatformClock(), snapshots,
        [](int seconds) { SleepMilliseconds(1000u * static_cast<unsigned>(seconds)); }});
    running.context->retryIntervalSeconds = retryPause;
    return running.context.get();
  };
  int code = kExitOk;
  std::optional<std::string> only;
  if (runOne) only = parsed.positionals[1];
  const ScheduleRound round =
      RunScheduleRound(fs, PlatformClock(), schedulesPath, only, prepare,
                       [&](const Schedule& s, const ScheduleRunRecord& record) {
                         std::string line;
                         AppendShown(line, s.name);
                         line += record.ok ? ": ok: " : ": failed: ";
                         AppendShown(line, record.outcome);
                         out << line << "\n";
                         if (!record.ok) code = kExitFailure;
                       });
  if (running.job) running.job->Shutdown();
  if (running.browser) running.browser->Shutdown();
  // The capture indexes follow the new snapshots, as the window keeps them.
  if (round.ran > 0) {
    for (const IndexUpdate& update : UpdateIndexes(fs, snapshots, SnapshotChoice{})) {
      if (!update.failure.empty()) {
        err << "mirrorvault-cli: the index " << VisibleText(update.fileName)
            << " could not be written: " << VisibleText(update.failure) << "\n";
      }
    }
  }
  if (round.stop == ScheduleRound::Stop::kLocked) {
    err << "mirrorvault-cli: " << VisibleText(round.error) << "\n";
    return runDue ? kExitOk : kExitFailure;
  }
  if (round.stop == ScheduleRound::Stop::kFailed) {
    if (!prepareFailed) err << "mirrorvault-cli: " << VisibleText(round.error) << "\n";
    return kExitFailure;
  }
  return code;
}

}  // namespace mv::cli
