// The scan thread and the enumeration tasks.
#include "net/network_browser.h"

#include <algorithm>
#include <vector>

#include "capture/activity_state.h"
#include "net/network_items.h"

namespace mv {

NetworkBrowser::NetworkBrowser(TreePort& tree, NetworkPort& network, TaskGate& gate,
                               ScanTiming timing)
    : tree_(tree), network_(network), gate_(gate), timing_(timing) {}

NetworkBrowser::~NetworkBrowser() = default;

bool NetworkBrowser::StartScanThread() {
  if (started_.exchange(true)) return true;
  // A scan thread waiting on an event that does not exist would scan on and on.
  if (!scanEvent_.valid()) {
    started_.store(false);
    return false;
  }
  if (StartDetachedThread([this] { ScanThreadBody(); })) return true;
  started_.store(false);
  return false;
}

void NetworkBrowser::RequestScan() {
  gate_.NoteScanWanted();
  scanEvent_.Set();
}

void NetworkBrowser::Shutdown() {
  if (!started_.load()) return;
  quit_.store(true);
  scanEvent_.Set();
  // Polled rather than waited for on an event: the thread could still be inside the
  // event's Set when the browser is destroyed.
  while (!scanThreadEnded_.load()) SleepMilliseconds(1);
}

void NetworkBrowser::ScanThreadBody() {
  for (;;) {
    if (!scanEvent_.Wait()) break;
    scanEvent_.Reset();
    if (quit_.load()) break;
    RunOneScan();
  }
  scanThreadEnded_.store(true);
}

void NetworkBrowser::RunOneScan() {
  gate_.EnterScan();
  tree_.DeleteAllItems();
  tables_.Clear();
  containersNotListed_.store(0);
  SetActivityState(kScanning);
  // The root task is counted in here, so the count cannot read 0 before it has run.
  runningTasks_.store(1);
  EnumerateContainer(nullptr);
  while (runningTasks_.load() != 0) SleepMilliseconds(timing_.countPollMs);
  SetActivityState(kIdle);
  completedScans_.fetch_add(1);
  gate_.Leave();
}

int NetworkBrowser::EnumerateContainer(std::unique_ptr<EnumTaskRecord> record) {
  const TreeItem parent = record != nullptr ? record->item : kNoTreeItem;
  if (GetActivityState() == kIdle) {
    record.reset();
    runningTasks_.fetch_sub(1);
    return 0;
  }
  std::unique_ptr<NetworkEnumeration> enumeration =
      network_.OpenEnumeration(record != nullptr ? &record->resource : nullptr);
  record.reset();
  if (enumeration == nullptr) {
    runningTasks_.fetch_sub(1);
    return 0;
  }

  std::vector<std::byte> buffer(kEnumBufferBytes);
  std::vector<NetResource> batch;
  // Each call leaves in it how many records it returned: the most the next call asks for.
  std::uint32_t wanted = kEnumAllRecords;
  bool stopped = false;
  while (!stopped && GetActivityState() != kIdle) {
    std::fill(buffer.begin(), buffer.end(), std::byte{0});
    NetEnumStatus status = enumeration->NextBatch(buffer, kEnumOfferedBytes, wanted, batch);
    if (status == NetEnumStatus::kMoreData) {
      // The next record alone is larger than the bytes offered (a long comment or name):
      // once more with the whole buffer, as many records as fit, so that neither it nor
      // anything after it is lost; then on with the small offers.
      wanted = kEnumAllRecords;
      status = enumeration->NextBatch(buffer, kEnumBufferBytes, wanted, batch);
      if (status == NetEnumStatus::kMoreData) containersNotListed_.fetch_add(1);
    }
    // A success without records ends the container too: the next call would ask for none.
    if (status != NetEnumStatus::kSuccess || batch.empty() || GetActivityState() == kIdle) break;
    for (const NetResource& found : batch) {
      const TreeItem item = ShowAndStore(parent, found);
      if (!HasChildTask(found)) continue;
      auto child = std::make_unique<EnumTaskRecord>(EnumTaskRecord{found, item});
      if (GetActivityState() == kIdle) {
        stopped = true;
        break;
      }
      StartChildTask(std::move(child));
      SleepMilliseconds(timing_.childStartPauseMs);
    }
  }

  const bool closed = enumeration->Close();
  enumeration.reset();
  // Counting out is the last thing a task does with the browser.
  runningTasks_.fetch_sub(1);
  return closed ? 1 : 0;
}

void NetworkBrowser::StartChildTask(std::unique_ptr<EnumTaskRecord> record) {
  // Counted in before the thread exists, so the starter counting itself out can never
  // bring the count to 0 while this task is still to start.
  runningTasks_.fetch_add(1);
  EnumTaskRecord* handedOver = record.release();
  const bool started = StartDetachedThread(
      [this, handedOver] { EnumerateContainer(std::unique_ptr<EnumTaskRecord>(handedOver)); });
  if (!started) {
    delete handedOver;
    runningTasks_.fetch_sub(1);
  }
}

TreeItem NetworkBrowser::ShowAndStore(TreeItem parent, const NetResource& record) {
  const std::optional<NetworkItem> shown = NetworkItemFor(record);
  if (!shown) return kNoTreeItem;
  const TreeItem item =
      tree_.InsertItem(TreeInsertRequest{parent, shown->text, shown->image, shown->state, 0});
  switch (shown->kind) {
    case NetworkItemKind::kGroup:
      tables_.AddGroup(shown->text, item);
      break;
    case NetworkItemKind::kComputer:
      tables_.AddComputer(shown->text, parent, item);
      break;
    case NetworkItemKind::kShare:
      tables_.AddShare(shown->text, parent, item);
      break;
  }
  return item;
}

bool NetworkBrowser::IsItemTicked(TreeItem item) {
  if (item == kNoTreeItem) return false;
  return (tree_.GetItemState(item) & kTreeStateTicked) != 0;
}

}  // namespace mv
