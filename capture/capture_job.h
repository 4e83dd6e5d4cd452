// The capture job: a pool of capture workers that turns the computers chosen in the Take
// Snapshots dialog into snapshot files, one per computer, and tells the user when the job
// is over.
//
// The main window makes one job for the process and starts its workers once (see
// capture/take_snapshots.h). The dialog's "Take Snapshots" calls StartCaptureOfTicked; the
// stop request is SetActivityState(kStopRequest), which each worker notices at its next
// claim and the writer between two shares.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "net/network_browser.h"
#include "net/task_gate.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/threading.h"
#include "platform/view_ports.h"

namespace mv {

inline constexpr int kCaptureWorkers = 8;

// The pauses of the pool. The program keeps these values; tests and benchmarks may
// shorten them.
struct CaptureTiming {
  unsigned workerStartPauseMs = 50;  // after starting each worker
  unsigned claimRetryPauseMs = 100;  // before looking again at a held claim lock
};

class CaptureJob {
 public:
  // browser gives the discovery tables and the ticks; notices shows the end-of-job message
  // (owned by the Take Snapshots dialog) from a worker's thread.
  CaptureJob(NetworkBrowser& browser, NoticePort& notices, TaskGate& gate = LongTaskGate(),
             FileSystem& fs = PlatformFileSystem(), Clock& clock = PlatformClock(),
             CaptureTiming timing = {});
  // The workers must have been shut down, or never started.
  ~CaptureJob();
  CaptureJob(const CaptureJob&) = delete;
  CaptureJob& operator=(const CaptureJob&) = delete;

  // Starts the workers, pausing after each; they then live as long as the process and
  // sleep on the capture event between jobs. Only the first call starts any. Returns how
  // many are running: fewer when threads could not be started, none when the capture event
  // could not be made.
  int StartWorkers(int workerCount = kCaptureWorkers);

  // "Take Snapshots": the capture list is every ticked computer under a ticked group, group
  // by group in table order, computers in table order; then the job starts. The ticks of
  // shares are read later, when each computer's turn comes. Answers false, starting
  // nothing, while another long task (a scan, a wanted scan, a stopped task still winding
  // down) holds the gate, or when no worker runs. Never blocks.
  bool StartCaptureOfTicked(const std::string& snapshotDirectory) {
    return TryStartCaptureOfTicked(snapshotDirectory) == CaptureRefusal::kNone;
  }
  // The same, saying why nothing started (kNoWorkers before what the gate says).
  CaptureRefusal TryStartCaptureOfTicked(const std::string& snapshotDirectory);

  // Starts a job over these NetComputerTable slots, in this order; the same rules.
  bool StartCapture(const std::vector<int>& computerSlots, const std::string& snapshotDirectory);

  // Starts a job over these computers with these shares instead of the ticked ones (a
  // scheduled run); the same rules. An empty share list captures nothing of its computer.
  struct ChosenComputer {
    int slot = 0;
    std::vector<std::string> shares;
  };
  bool StartCaptureOf(const std::vector<ChosenComputer>& computers,
                      const std::string& snapshotDirectory);

  // The ANSI code page of the snapshots (the system's unless set): names that all fit it are
  // written in it, others make their snapshot UTF-8. Set before a job starts.
  void SetAnsiCodePage(unsigned codePage) { ansiCodePage_.store(codePage); }

  // Ends the workers once the running job, if any, has ended. Tests and benchmarks only;
  // the program never ends its workers.
  void Shutdown();

  // Jobs that have run to their end since the job was made.
  int CompletedJobs() const { return completedJobs_.load(); }

  // The shares (\\COMPUTER\SHARE) of the last job that ended which could not be listed on
  // computers that were otherwise read. Read once the job has ended.
  const std::vector<std::string>& LastSharesNotListed() const { return lastSharesNotListed_; }
  // The computers of the last job that ended whose snapshot could not be written: the name,
  // and what the end-of-job message says of it. Read once the job has ended.
  struct FailedComputer {
    std::string name;
    std::string text;
  };
  const std::vector<FailedComputer>& LastFailedComputers() const { return lastFailedComputers_; }

 private:
  void StartHoldingGate(const std::vector<int>& computerSlots, const std::string& snapshotDirectory,
                        const std::vector<ChosenComputer>* chosen = nullptr);
  void WorkerBody();
  bool JoinCurrentJob(std::uint64_t& servedJob);
  void WorkOnJob();
  int Claim();
  void CaptureComputer(int computerSlot, int index);
  std::vector<std::string> TickedShares(const NetComputerEntry& computer);
  std::string GroupNameOf(const NetComputerEntry& computer);
  void LeaveJob();
  std::string EndOfJobProblems();

  NetworkBrowser& browser_;
  NoticePort& notices_;
  TaskGate& gate_;
  FileSystem& fs_;
  Clock& clock_;
  const CaptureTiming timing_;
  std::atomic<unsigned> ansiCodePage_{SystemAnsiCodePage()};

  ManualResetEvent captureEvent_;
  // Written by the starter while the gate keeps every worker out of any job.
  std::vector<std::int32_t> captureList_;
  // Per entry of captureList_, its shares; empty: the ticked shares are read.
  std::vector<std::vector<std::string>> chosenShares_;
  std::int32_t captureCount_ = 0;
  std::int32_t nextCaptureIndex_ = 0;  // guarded by the claim lock
  std::string snapshotDirectory_;
  std::atomic<std::int32_t> claimLock_{0};
  std::atomic<std::int32_t> activeWorkerCount_{0};
  std::atomic<std::int32_t> completionShown_{0};

  // Which job the workers join: every running worker joins each job exactly once.
  std::mutex joinMutex_;
  std::uint64_t jobNumber_ = 0;
  int joinedWorkers_ = 0;
  int workersInJob_ = 0;

  // Computers whose snapshot could not be written, and shares that could not be listed on
  // computers that were read, of this job.
  std::mutex problemsMutex_;
  std::vector<std::string> failedComputers_;
  std::vector<std::string> sharesNotListed_;
  std::vector<std::string> lastSharesNotListed_;  // of the last job that ended
  std::vector<FailedComputer> failedNames_;
  std::vector<FailedComputer> lastFailedComputers_;  // of the last job that ended
  int namesAltered_ = 0;

  std::atomic<int> runningWorkers_{0};
  std::atomic<int> completedJobs_{0};
  std::atomic<bool> started_{false};
  std::atomic<bool> quit_{false};
};

}  // namespace mv
