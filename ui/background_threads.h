// The long-lived worker threads the main window starts when it is created: the eight
// capture workers, 50 ms apart, then the scan thread.
#pragma once

namespace mv {

// Starts them once per process; later calls (a test creating the window again) start
// nothing more.
void StartBackgroundThreads();

}  // namespace mv
