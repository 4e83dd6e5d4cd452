// The capture workers: claim a computer, join its ticked shares, write its snapshot, and
// let the last worker of a job end it.
#include "capture/capture_job.h"

#include <utility>

#include "capture/activity_state.h"
#include "capture/end_of_job_message.h"
#include "core/snapshot_name.h"
#include "core/snapshot_writer.h"

namespace mv {

CaptureJob::CaptureJob(NetworkBrowser& browser, NoticePort& notices, TaskGate& gate, FileSystem& fs,
                       Clock& clock, CaptureTiming timing)
    : browser_(browser), notices_(notices), gate_(gate), fs_(fs), clock_(clock), timing_(timing) {}

CaptureJob::~CaptureJob() = default;

int CaptureJob::StartWorkers(int workerCount) {
  if (started_.exchange(true)) return runningWorkers_.load();
  // Workers waiting on an event that does not exist would wake at once, forever.
  if (!captureEvent_.valid()) return 0;
  for (int i = 0; i < workerCount; ++i) {
    runningWorkers_.fetch_add(1);
    if (!StartDetachedThread([this] { WorkerBody(); })) runningWorkers_.fetch_sub(1);
    SleepMilliseconds(timing_.workerStartPauseMs);
  }
  return runningWorkers_.load();
}

CaptureRefusal CaptureJob::TryStartCaptureOfTicked(const std::string& snapshotDirectory) {
  if (runningWorkers_.load() == 0) return CaptureRefusal::kNoWorkers;
  const CaptureRefusal refusal = gate_.TryEnterCaptureOrSayWhy();
  if (refusal != CaptureRefusal::kNone) return refusal;
  // The gate is held, so no scan changes the tables while they are read here.
  const DiscoveryTables& tables = browser_.tables();
  std::vector<int> chosen;
  for (const NetGroupEntry& group : tables.groups) {
    if (group.item == kNoTreeItem || !browser_.IsItemTicked(group.item)) continue;
    for (int slot = 0; slot < static_cast<int>(tables.computers.size()); ++slot) {
      const NetComputerEntry& computer = tables.computers[slot];
      if (computer.item == kNoTreeItem || computer.parentItem != group.item) continue;
      if (browser_.IsItemTicked(computer.item)) chosen.push_back(slot);
    }
  }
  StartHoldingGate(chosen, snapshotDirectory);
  return CaptureRefusal::kNone;
}

bool CaptureJob::StartCapture(const std::vector<int>& computerSlots,
                              const std::string& snapshotDirectory) {
  if (runningWorkers_.load() == 0 || !gate_.TryEnterCapture()) return false;
  StartHoldingGate(computerSlots, snapshotDirectory);
  return true;
}

bool CaptureJob::StartCaptureOf(const std::vector<ChosenComputer>& computers,
                                const std::string& snapshotDirectory) {
  if (runningWorkers_.load() == 0 || !gate_.TryEnterCapture()) return false;
  std::vector<int> slots;
  for (const ChosenComputer& computer : computers) slots.push_back(computer.slot);
  StartHoldingGate(slots, snapshotDirectory, &computers);
  return true;
}

void CaptureJob::StartHoldingGate(const std::vector<int>& computerSlots,
                                  const std::string& snapshotDirectory,
                                  const std::vector<ChosenComputer>* chosen) {
  // The list holds every chosen computer, however many.
  const auto computers = static_cast<int>(browser_.tables().computers.size());
  captureList_.clear();
  chosenShares_.clear();
  for (std::size_t i = 0; i < computerSlots.size(); ++i) {
    const int slot = computerSlots[i];
    if (slot < 0 || slot >= computers) continue;
    captureList_.push_back(slot);
    if (chosen != nullptr) chosenShares_.push_back((*chosen)[i].shares);
  }
  captureCount_ = static_cast<std::int32_t>(captureList_.size());
  nextCaptureIndex_ = 0;
  snapshotDirectory_ = snapshotDirectory;
  claimLock_.store(0);
  {
    std::lock_guard lock(problemsMutex_);
    failedComputers_.clear();
    failedNames_.clear();
    sharesNotListed_.clear();
    namesAltered_ = 0;
  }
  {
    std::lock_guard lock(joinMutex_);
    ++jobNumber_;
    joinedWorkers_ = 0;
    workersInJob_ = runningWorkers_.load();
    // Every worker is counted in before any wakes, so the count cannot reach 0 while a
    // worker has yet to join.
    activeWorkerCount_.store(workersInJob_);
  }
  // Switched here rather than by each waking worker: a worker waking late would otherwise
  // turn an early stop request back into Capturing.
  SetActivityState(kCapturing);
  captureEvent_.Set();
}

void CaptureJob::Shutdown() {
  if (!started_.load()) return;
  while (activeWorkerCount_.load() != 0) SleepMilliseconds(1);
  quit_.store(true);
  captureEvent_.Set();
  // Polled: a worker's count-out is its very last touch of the job.
  while (runningWorkers_.load() != 0) SleepMilliseconds(1);
}

void CaptureJob::WorkerBody() {
  std::uint64_t servedJob = 0;
  for (;;) {
    if (!captureEvent_.Wait() || quit_.load()) break;
    if (!JoinCurrentJob(servedJob)) {
      // This worker has served the job and the event stays set until every worker has
      // joined it; look again shortly.
      SleepMilliseconds(1);
      continue;
    }
    WorkOnJob();
  }
  runningWorkers_.fetch_sub(1);
}

bool CaptureJob::JoinCurrentJob(std::uint64_t& servedJob) {
  std::lock_guard lock(joinMutex_);
  if (jobNumber_ == servedJob) return false;
  servedJob = jobNumber_;
  // The last worker to join resets the event: reset by the first, it could leave a worker
  // that was not yet waiting without the job.
  if (++joinedWorkers_ == workersInJob_) captureEvent_.Reset();
  return true;
}

void CaptureJob::WorkOnJob() {
  completionShown_.store(0);
  for (;;) {
    const int index = Claim();
    if (GetActivityState() == kIdle || index >= captureCount_) break;
    CaptureComputer(captureList_[index], index);
  }
  LeaveJob();
}

int CaptureJob::Claim() {
  while (claimLock_.exchange(1) != 0) SleepMilliseconds(timing_.claimRetryPauseMs);
  const int index = nextCaptureIndex_++;
  claimLock_.store(0);
  return index;
}

std::vector<std::string> CaptureJob::TickedShares(const NetComputerEntry& computer) {
  // A list, not joined text: a share whose name holds ';' is captured under its own name.
  std::vector<std::string> shares;
  for (const NetShareEntry& share : browser_.tables().shares) {
    if (share.name.empty() || share.parentItem != computer.item) continue;
    if (!browser_.IsItemTicked(share.item)) continue;
    shares.push_back(share.name);
  }
  return shares;
}

std::string CaptureJob::GroupNameOf(const NetComputerEntry& computer) {
  for (const NetGroupEntry& group : browser_.tables().groups) {
    if (group.item == computer.parentItem) return group.name;
  }
  return std::string();
}

void CaptureJob::CaptureComputer(int computerSlot, int index) {
  const NetComputerEntry& computer = browser_.tables().computers[computerSlot];
  if (computer.name.empty()) return;
  const std::vector<std::string> shares = chosenShares_.empty()
                                              ? TickedShares(computer)
                                              : chosenShares_[static_cast<std::size_t>(index)];
  if (shares.empty()) return;  // nothing ticked: no file, no message
  const LocalTime now = clock_.Now();
  const std::string group = GroupNameOf(computer);
  const std::string path =
      BuildSnapshotPathAt(snapshotDirectory_, group, computer.name, now, clock_);
  WriteReport report;
  WriteSnapshot(group, computer.name, path, shares, &report, fs_, clock_, ansiCodePage_.load());

  if (report.complete && report.sharesNotListed.empty() && report.namesAltered == 0) return;
  std::lock_guard lock(problemsMutex_);
  namesAltered_ += report.namesAltered;
  if (!report.complete && !report.stopped) {
    failedComputers_.push_back(DescribeFailedCapture(computer.name, report));
    failedNames_.push_back({computer.name, failedComputers_.back()});
  } else if (report.complete) {
    for (const std::string& share : report.sharesNotListed) {
      sharesNotListed_.push_back(DescribeShare(computer.name, share));
    }
  }
}

void CaptureJob::LeaveJob() {
  if (activeWorkerCount_.fetch_sub(1) != 1) return;
  // The last worker out of the job: every other worker has left it.
  SetActivityState(kIdle);
  if (completionShown_.exchange(1) == 0) {
    std::vector<std::string> failed;
    std::vector<std::string> notListed;
    int namesAltered = 0;
    {
      std::lock_guard lock(problemsMutex_);
      failed.swap(failedComputers_);
      notListed.swap(sharesNotListed_);
      lastSharesNotListed_ = notListed;
      lastFailedComputers_.swap(failedNames_);
      failedNames_.clear();
      std::swap(namesAltered, namesAltered_);
    }
    const EndOfJobMessage message = ComposeEndOfJobMessage(failed, notListed, namesAltered);
    notices_.ShowMessage(message.text, message.kind);
    completionShown_.store(0);
  }
  completedJobs_.fetch_add(1);
  gate_.Leave();
}

}  // namespace mv
