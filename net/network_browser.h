// The network browser: the scan thread, one enumeration task per network container, the
// discovery tables and the network tree they fill.
//
// The main window makes one browser for the process (see capture/take_snapshots.h), with
// the network tree of the Take Snapshots dialog as its TreePort, and starts its scan thread
// once. The dialog calls RequestScan when it opens and on "Scan Network"; the stop request
// is SetActivityState(kStopRequest). The capture job reads tables() and IsItemTicked.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "net/discovery_tables.h"
#include "net/task_gate.h"
#include "platform/network.h"
#include "platform/threading.h"
#include "platform/view_ports.h"

namespace mv {

// The pauses of a scan. They pace the network and the tree, so the program keeps these
// values; tests and benchmarks may shorten them.
struct ScanTiming {
  unsigned childStartPauseMs = 100;  // after starting each child task
  unsigned countPollMs = 100;        // the scan thread's look at the running task count
};

// Bytes of the batch buffer, and the part of it offered to each batch call: a batch fills
// the tree a few records at a time. A record that alone does not fit in the offer is asked
// for once more with the whole buffer; only one that does not fit there either ends its
// container.
inline constexpr std::uint32_t kEnumBufferBytes = 16384;
inline constexpr std::uint32_t kEnumOfferedBytes = 256;

// What a child task is given: its own copy of the container's record, strings included
// (never a pointer into its starter's buffer, which the starter reuses and frees), and the
// tree item that stands for the container (0 if none was inserted). Owned by the task and
// released as soon as its enumeration is open.
struct EnumTaskRecord {
  NetResource resource;
  TreeItem item = kNoTreeItem;
};

class NetworkBrowser {
 public:
  // tree is the network tree: every call on it may come from any task's thread.
  NetworkBrowser(TreePort& tree, NetworkPort& network, TaskGate& gate = LongTaskGate(),
                 ScanTiming timing = {});
  // The scan thread must have been shut down, or never started.
  ~NetworkBrowser();
  NetworkBrowser(const NetworkBrowser&) = delete;
  NetworkBrowser& operator=(const NetworkBrowser&) = delete;

  // Starts the scan thread, which then lives as long as the process and sleeps on the scan
  // event between scans. Only the first call starts it; false if it could not be started
  // (no thread, or no scan event).
  bool StartScanThread();

  // Asks for a scan: it empties the tree and the tables, then fills them anew. Held back
  // while another long task (a capture, or a stopped one still winding down) holds the
  // gate, and no capture can start until it has begun. Never blocks.
  void RequestScan();

  // Ends the scan thread once the running scan, if any, has ended. Tests and benchmarks
  // only; the program never ends the scan thread.
  void Shutdown();

  // Enumerates one container (record null: the root of the network): inserts its groups,
  // computers and shares into the tree and the tables, and starts one task per container
  // found. The caller has counted the task in. 1 if the enumeration closed without error.
  int EnumerateContainer(std::unique_ptr<EnumTaskRecord> record);

  // Whether item's tick box is ticked (state image 2); item 0 is never ticked.
  bool IsItemTicked(TreeItem item);

  // What the last scan found. Read it only while no scan runs.
  DiscoveryTables& tables() { return tables_; }

  // Enumeration tasks of the current scan that run or are about to start.
  std::int32_t RunningTaskCount() const { return runningTasks_.load(); }

  // Scans that have run to their end since the browser was made.
  int CompletedScans() const { return completedScans_.load(); }

  // Containers of the last scan whose enumeration ended early on a record larger than the
  // whole batch buffer: what came after it is missing.
  int ContainersNotListed() const { return containersNotListed_.load(); }

 private:
  void ScanThreadBody();
  void RunOneScan();
  TreeItem ShowAndStore(TreeItem parent, const NetResource& record);
  void StartChildTask(std::unique_ptr<EnumTaskRecord> record);

  TreePort& tree_;
  NetworkPort& network_;
  TaskGate& gate_;
  const ScanTiming timing_;
  DiscoveryTables tables_;
  ManualResetEvent scanEvent_;
  std::atomic<std::int32_t> runningTasks_{0};
  std::atomic<int> completedScans_{0};
  std::atomic<int> containersNotListed_{0};
  std::atomic<bool> started_{false};
  std::atomic<bool> quit_{false};
  // Set by the scan thread as its very last touch of the browser.
  std::atomic<bool> scanThreadEnded_{false};
};

}  // namespace mv
