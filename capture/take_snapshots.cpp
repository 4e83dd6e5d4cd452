// The process's network browser and capture job, made and started once by the main window.
#include "capture/take_snapshots.h"

#include <mutex>

#include "capture/activity_state.h"
#include "core/text.h"

namespace mv {
namespace {

// Made once and never destroyed: their threads live as long as the process.
NetworkBrowser* gBrowser = nullptr;
CaptureJob* gJob = nullptr;
std::once_flag gStarted;

}  // namespace

void StartBackgroundTasks(TreePort& networkTree, NoticePort& notices) {
  std::call_once(gStarted, [&] {
    gBrowser = new NetworkBrowser(networkTree, PlatformNetwork());
    gJob = new CaptureJob(*gBrowser, notices);
    const int workers = gJob->StartWorkers(kCaptureWorkers);
    const std::string problems = BackgroundTaskProblems(workers, gBrowser->StartScanThread());
    if (!problems.empty()) notices.ShowMessage(problems, MessageKind::kError);
  });
}

std::string BackgroundTaskProblems(int workersRunning, bool scanThreadRunning) {
  std::string text;
  if (workersRunning == 0) {
    text = kNoCaptureWorkers;
  } else if (workersRunning < kCaptureWorkers) {
    text = "Only " + std::to_string(workersRunning) + " of the " + std::to_string(kCaptureWorkers) +
           " capture workers could be started.";
  }
  if (!scanThreadRunning) {
    if (!text.empty()) text += "\n";
    text += "The network scan could not be started: the network cannot be browsed.";
  }
  return text;
}

void RequestNetworkScan() {
  TheNetworkBrowser().RequestScan();
}

CaptureRefusal StartCaptureOfTickedComputers(const std::string& snapshotDirectory) {
  return TheCaptureJob().TryStartCaptureOfTicked(snapshotDirectory);
}

const char* CaptureRefusalText(CaptureRefusal refusal) {
  switch (refusal) {
    case CaptureRefusal::kTaskEnding:
      return kPreviousTaskStillEnding;
    case CaptureRefusal::kScanPending:
      return kScanAboutToStart;
    case CaptureRefusal::kNoWorkers:
      return kNoCaptureWorkers;
    case CaptureRefusal::kNone:
      break;
  }
  return "";
}

void RequestStop() {
  SetActivityState(kStopRequest);
}

CancelButtonAction CancelButtonActionFor(std::string_view caption) {
  if (EqualsIgnoreCase(caption, kCaptionStop)) return CancelButtonAction::kStop;
  if (EqualsIgnoreCase(caption, kCaptionCancel)) return CancelButtonAction::kClose;
  return CancelButtonAction::kNone;
}

bool IsItemTicked(TreeItem item) {
  return TheNetworkBrowser().IsItemTicked(item);
}

NetworkBrowser& TheNetworkBrowser() {
  return *gBrowser;
}
CaptureJob& TheCaptureJob() {
  return *gJob;
}

}  // namespace mv
