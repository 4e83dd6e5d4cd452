// The activity state: one atomic 32-bit value shared by every thread.
#include "capture/activity_state.h"

#include <atomic>

#include "res/resource_ids.h"

namespace mv {
namespace {

std::atomic<std::int32_t> gActivityState{kIdle};
std::atomic<ActivityView*> gActivityView{nullptr};

void ShowControls(ActivityView& view, bool idle, const char* status) {
  view.SetStatusText(0, status);
  view.EnableTakeSnapshotsButton(idle);
  view.SetCancelButtonCaption(idle ? kCaptionCancel : kCaptionStop);
  view.EnableMenuCommand(IDM_SCAN_NETWORK, idle);
  view.EnableMenuCommand(IDM_STOP, !idle);
}

}  // namespace

void SetActivityView(ActivityView* view) {
  gActivityView.store(view);
}

std::int32_t GetActivityState() {
  return gActivityState.load();
}

// The state is stored before the screen follows: a stop request that arrives while the
// controls are being switched (each a synchronous request to the window's thread) then
// finds the new state and sticks, instead of being overwritten a moment later.
int SetActivityState(std::int32_t request) {
  ActivityView* view = gActivityView.load();
  switch (request) {
    case kIdle:
      gActivityState.store(kIdle);
      if (view != nullptr) ShowControls(*view, true, kStatusIdle);
      break;
    case kScanning:
      gActivityState.store(kScanning);
      if (view != nullptr) ShowControls(*view, false, kStatusScanning);
      break;
    case kCapturing:
      gActivityState.store(kCapturing);
      if (view != nullptr) ShowControls(*view, false, kStatusCapturing);
      break;
    case kStopRequest: {
      // Only the stop text changes now; the task that winds down restores the controls.
      const std::int32_t previous = gActivityState.exchange(kIdle);
      if (view != nullptr && previous == kScanning) view->SetStatusText(0, kStatusStopScanning);
      if (view != nullptr && previous == kCapturing) {
        view->SetStatusText(0, kStatusStopCapturing);
      }
      break;
    }
    default:
      break;
  }
  return 0;
}

int SetStatusText(int part, const std::string& text) {
  ActivityView* view = gActivityView.load();
  if (view != nullptr) view->SetStatusText(part, text);
  return 0;
}

}  // namespace mv
