// The one activity state: which long task runs (none, a scan, a capture), and the stop
// request that tells a running task to wind down. Switching it also switches the status
// text and the start/stop controls, through the ActivityView port.
// It lives with the capture job, the task it mostly describes, yet core/ (the writer checks
// it between shares) and net/ (the scan checks it between enumeration batches) read it too:
// the stop request must reach the loops that do the work, so those two layers reach up to
// this header, and CMake builds it as a library of its own (mv_activity) beneath all three.
#pragma once

#include <cstdint>
#include <string>

namespace mv {

inline constexpr std::int32_t kIdle = 0;
inline constexpr std::int32_t kScanning = 100;
inline constexpr std::int32_t kCapturing = 101;
inline constexpr std::int32_t kStopRequest = -1;  // a request only; never stays in the state

inline constexpr char kStatusIdle[] = "Mirrorvault 1.0";
inline constexpr char kStatusScanning[] = "Scanning Network...";
inline constexpr char kStatusCapturing[] = "Taking Snapshots...";
inline constexpr char kStatusStopScanning[] = "Stop Scanning Network...";
inline constexpr char kStatusStopCapturing[] = "Stop Taking Snapshots...";
inline constexpr char kCaptionCancel[] = "Cancel";
inline constexpr char kCaptionStop[] = "Stop";

// What the state changes on screen. The UI installs one; without one only the state
// changes. Every call may come from any thread.
class ActivityView {
 public:
  virtual ~ActivityView() = default;
  virtual void SetStatusText(int part, const std::string& text) = 0;
  // Button 1003 ("Take Snapshots") of the Take Snapshots dialog, when it is open.
  virtual void EnableTakeSnapshotsButton(bool enabled) = 0;
  // Caption of button 2 of the Take Snapshots dialog: "Cancel" or "Stop".
  virtual void SetCancelButtonCaption(const std::string& caption) = 0;
  // Items 40014 "Scan Network" and 40015 "Stop" of the network menu.
  virtual void EnableMenuCommand(int command, bool enabled) = 0;
};

void SetActivityView(ActivityView* view);

std::int32_t GetActivityState();

// Switches the state and the screen with it; kStopRequest shows the stop text of the
// running task and sets kIdle, leaving the controls to the task that winds down. Returns 0.
int SetActivityState(std::int32_t request);

// Puts text into part 0 (activity) or part 1 (details) of the status bar. Returns 0.
int SetStatusText(int part, const std::string& text);

}  // namespace mv
