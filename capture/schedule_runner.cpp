// The schedule runner's thread: see schedule_runner.h.
#include "capture/schedule_runner.h"

#include <atomic>
#include <memory>

#include "capture/capture_job.h"
#include "capture/schedule_service.h"
#include "capture/take_snapshots.h"
#include "net/network_browser.h"
#include "platform/locked_tree_port.h"
#include "platform/memory/memory_tree_port.h"

namespace mv {
namespace {

// A scheduled run tells nobody on the spot: its record says what failed.
class QuietNotices final : public NoticePort {
 public:
  MessageAnswer ShowMessage(const std::string&, MessageKind) override { return MessageAnswer::kOk; }
  void SetStatusText(int, const std::string&) override {}
};

// The clock of the setup in force, so that the job made once follows a test's clock.
class SetupClock final : public Clock {
 public:
  explicit SetupClock(const std::atomic<Clock*>& current) : current_(current) {}
  LocalTime Now() override { return Current().Now(); }
  std::string FormatDate(const LocalTime& time, std::string_view picture) override {
    return Current().FormatDate(time, picture);
  }
  std::string FormatTime(const LocalTime& time, std::string_view picture) override {
    return Current().FormatTime(time, picture);
  }

 private:
  Clock& Current() {
    Clock* const clock = current_.load();
    return clock != nullptr ? *clock : PlatformClock();
  }
  const std::atomic<Clock*>& current_;
};

// What the runs capture with, made at the first run and kept for the process: a scan and a
// job of their own, so that a run never touches the tree or the ticks of an open dialog.
struct Capture {
  MemoryTreePort shownTree;
  LockedTreePort tree{shownTree};
  QuietNotices notices;
  std::atomic<Clock*> clock{nullptr};
  std::unique_ptr<SetupClock> jobClock;
  std::unique_ptr<NetworkBrowser> browser;
  std::unique_ptr<CaptureJob> job;
  std::unique_ptr<ScheduleRunContext> context;
  std::string problem;  // why it could not be made
};

}  // namespace

void ScheduleRunner::Configure(ScheduleRunnerSetup setup) {
  bool start = false;
  {
    std::lock_guard lock(mutex_);
    setup_ = std::move(setup);
    start = !started_;
    started_ = true;
  }
  if (start && !StartDetachedThread([this] { Body(); })) {
    std::lock_guard lock(mutex_);
    started_ = false;
  }
  LookNow();
}

void ScheduleRunner::LookNow() {
  wake_.Set();
}

void ScheduleRunner::RunNow(const std::string& name) {
  {
    std::lock_guard lock(mutex_);
    runNow_.push_back(name);
  }
  wake_.Set();
}

void ScheduleRunner::Round(const ScheduleRunnerSetup& setup,
                           const std::optional<std::string>& only) {
  static Capture capture;
  capture.clock.store(setup.clock);
  Clock& clock = setup.clock != nullptr ? *setup.clock : PlatformClock();
  auto prepare = [&]() -> ScheduleRunContext* {
    if (!capture.job) {
      capture.jobClock = std::make_unique<SetupClock>(capture.clock);
      capture.browser = std::make_unique<NetworkBrowser>(capture.tree, PlatformNetwork());
      capture.job = std::make_unique<CaptureJob>(*capture.browser, capture.notices, LongTaskGate(),
                                                 PlatformFileSystem(), *capture.jobClock);
      capture.problem = BackgroundTaskProblems(capture.job->StartWorkers(kCaptureWorkers),
                                               capture.browser->StartScanThread());
      capture.context.reset(new ScheduleRunContext{*capture.browser,
                                                   *capture.job,
                                                   LongTaskGate(),
                                                   PlatformFileSystem(),
                                                   *capture.jobClock,
                                                   std::string(),
                                                   {}});
    }
    if (!capture.problem.empty()) return nullptr;
    capture.context->snapshotDirectory = setup.snapshotsDirectory ? setup.snapshotsDirectory() : "";
    capture.context->pause = setup.pause ? setup.pause : [](int seconds) {
      SleepMilliseconds(1000u * static_cast<unsigned>(seconds));
    };
    return capture.context.get();
  };
  const ScheduleRound round =
      RunScheduleRound(PlatformFileSystem(), clock, setup.schedulesPath, only, prepare,
                       [&](const Schedule& schedule, const ScheduleRunRecord& record) {
                         if (setup.ran) setup.ran(schedule.name, record);
                       });
  if (round.stop != ScheduleRound::Stop::kDone && setup.stopped) {
    setup.stopped(capture.problem.empty() ? round.error : capture.problem);
  }
}

void ScheduleRunner::Body() {
  for (;;) {
    ScheduleRunnerSetup setup;
    {
      std::lock_guard lock(mutex_);
      setup = setup_;
    }
    // Without its event (the system out of handles) it still looks, at every turn.
    if (!wake_.WaitFor(setup.lookMilliseconds) && !wake_.valid()) {
      SleepMilliseconds(setup.lookMilliseconds);
    }
    wake_.Reset();
    std::vector<std::string> runNow;
    {
      std::lock_guard lock(mutex_);
      setup = setup_;
      runNow.swap(runNow_);
    }
    if (!setup.schedulesPath.empty()) {
      Round(setup, std::nullopt);
      for (const std::string& name : runNow) Round(setup, name);
    }
  }
}

ScheduleRunner& TheScheduleRunner() {
  static ScheduleRunner* const runner = new ScheduleRunner;  // its thread outlives main
  return *runner;
}

}  // namespace mv
