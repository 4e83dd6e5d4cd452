// What the main window and the Take Snapshots dialog call: the process's one network
// browser and capture job.
//
// The UI supplies three ports (all called from worker threads; each call is a synchronous
// request to the thread that owns the window):
//   - TreePort: the network tree, control 1001 of whichever Take Snapshots dialog is open
//     (image 0 group, 1 computer, 2 share; state bits as the tree control keeps them);
//   - NoticePort: message boxes owned by the Take Snapshots dialog (end-of-job message);
//   - ActivityView (capture/activity_state.h): status text, buttons 1003 and 2, items
//     40014 and 40015, installed with SetActivityView.
#pragma once

#include <string>
#include <string_view>

#include "capture/capture_job.h"
#include "net/network_browser.h"

namespace mv {

// Main window creation, once: starts the eight capture workers 50 ms apart, then the scan
// thread, and tells the user through notices what could not be started. Both ports must
// live as long as the process. Later calls do nothing.
void StartBackgroundTasks(TreePort& networkTree, NoticePort& notices);

// What to tell the user when not every worker or no scan thread could be started (the
// system out of threads or handles); empty when everything runs.
std::string BackgroundTaskProblems(int workersRunning, bool scanThreadRunning);

// The dialog's opening and its command 40014 "Scan Network".
void RequestNetworkScan();

// Button 1003 "Take Snapshots": captures every ticked computer under a ticked group into
// snapshotDirectory. Says why when nothing was started (a task still winds down, a scan is
// about to start, or no worker runs).
CaptureRefusal StartCaptureOfTickedComputers(const std::string& snapshotDirectory);

// Command 40015, and button 2 while it reads "Stop": the stop request.
void RequestStop();

// What button 2 of the dialog does (Esc, and the close box after its own turn, too): its
// caption says, compared ignoring case.
enum class CancelButtonAction { kStop, kClose, kNone };
CancelButtonAction CancelButtonActionFor(std::string_view caption);

// "Take Snapshots" that starts nothing says why.
inline constexpr char kPreviousTaskStillEnding[] =
    "The previous task is still ending. Please try again in a moment.";
inline constexpr char kScanAboutToStart[] =
    "The network scan is about to start. Please try again when it has ended.";
inline constexpr char kNoCaptureWorkers[] =
    "The capture workers could not be started: no snapshot can be taken.";
// The text for a refusal; empty for kNone.
const char* CaptureRefusalText(CaptureRefusal refusal);

// Whether a network tree item is ticked; item 0 never is.
bool IsItemTicked(TreeItem item);

// The process's browser and job; StartBackgroundTasks must have run.
NetworkBrowser& TheNetworkBrowser();
CaptureJob& TheCaptureJob();

}  // namespace mv
