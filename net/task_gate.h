// One long task at a time, from its start until its last thread is back. The activity
// state alone cannot say this: a stop sets it to Idle at once while the stopped task still
// winds down, and a task started then would share the state with the straggler (its
// Scanning would hide the stop, the straggler's Idle would end the new task).
#pragma once

#include <condition_variable>
#include <mutex>

namespace mv {

// Why "Take Snapshots" started nothing, so that the dialog can say what is happening.
enum class CaptureRefusal {
  kNone,         // it started
  kTaskEnding,   // a task holds the gate: after a stop, the stopped task still winds down
  kScanPending,  // a scan was asked for and has not begun yet
  kNoWorkers,    // no capture worker runs (the capture job's own answer)
};

class TaskGate {
 public:
  // The Take Snapshots dialog asks for a scan. Until the scan thread enters, no capture
  // may start: the scan is about to empty the tables the capture would read.
  void NoteScanWanted();

  // The scan thread, once woken: waits until no task holds the gate, then holds it.
  void EnterScan();

  // The Take Snapshots dialog: holds the gate for a capture job and answers true, or
  // answers false at once while a task holds it or a scan is wanted. Never blocks, since
  // the dialog's thread must keep serving the workers' requests.
  bool TryEnterCapture() { return TryEnterCaptureOrSayWhy() == CaptureRefusal::kNone; }
  // The same, saying why not: kTaskEnding while a task holds the gate, else kScanPending
  // while a scan is wanted.
  CaptureRefusal TryEnterCaptureOrSayWhy();

  // The task's last thread, once every other thread of the task is back.
  void Leave();

  // True while a task holds the gate or a scan is wanted.
  bool Busy();

  // Waits until Busy() is false (tests, benchmarks, shutdown).
  void WaitUntilFree();

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool held_ = false;
  bool scanWanted_ = false;
};

// The gate of this process.
TaskGate& LongTaskGate();

}  // namespace mv
