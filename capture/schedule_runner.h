// The program's schedule runner: a thread that looks at the schedules file every little
// while and runs what is due (and what "Run now" asks for), one run at a time, through a
// capture job of its own over a network tree nobody sees. It shares the process's task gate,
// so a due run waits for a running scan or capture, by hand or scheduled, and a capture by
// hand waits for it. It lives as long as the process.
#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "capture/schedule_file.h"
#include "platform/clock.h"
#include "platform/threading.h"

namespace mv {

// How often the runner looks at the schedules.
inline constexpr unsigned kScheduleLookMilliseconds = 30000;

struct ScheduleRunnerSetup {
  std::string schedulesPath;  // empty: no schedule runs
  std::function<std::string()> snapshotsDirectory;
  Clock* clock = nullptr;  // null: the platform's
  unsigned lookMilliseconds = kScheduleLookMilliseconds;
  // Waits between two tries of a computer out of reach; null: sleeps.
  std::function<void(int seconds)> pause;
  // On the runner's thread: each run once recorded, and a round that could not run (the
  // files damaged or locked by another process), with what stopped it.
  std::function<void(const std::string& schedule, const ScheduleRunRecord& record)> ran;
  std::function<void(const std::string& problem)> stopped;
};

class ScheduleRunner {
 public:
  // Takes effect at the next look; the thread starts with the first call.
  void Configure(ScheduleRunnerSetup setup);
  // Looks at once instead of at the next turn (the schedules changed).
  void LookNow();
  // Runs the schedule named at the next look, due or not.
  void RunNow(const std::string& name);

 private:
  void Body();
  void Round(const ScheduleRunnerSetup& setup, const std::optional<std::string>& only);

  std::mutex mutex_;
  ScheduleRunnerSetup setup_;
  std::vector<std::string> runNow_;
  bool started_ = false;
  ManualResetEvent wake_;
};

ScheduleRunner& TheScheduleRunner();

}  // namespace mv
