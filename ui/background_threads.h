// The long-lived worker threads the main window starts when it is created (the eight
// capture workers, 50 ms apart, then the scan thread), and the ports they reach the screen
// through.
#pragma once

#include <windows.h>

#include "ui/win32_notice_port.h"
#include "ui/win32_tree_port.h"

namespace mv {

// Starts them once per process; later calls (a test creating the window again) start
// nothing more. mainWindow owns the end-of-job message until a dialog takes it over.
void StartBackgroundThreads(HWND mainWindow);

// The network tree the scan fills: the tree control of the Take Snapshots dialog that is
// open (SetWindow when it opens, SetWindow(nullptr) when it closes); with none open the
// scan's insertions are dropped.
Win32TreePort& NetworkTreePort();
// The owner of the capture job's end-of-job message: the open Take Snapshots dialog, else
// the main window.
Win32NoticePort& NetworkNotices();

}  // namespace mv
