// Starting the capture workers and the scan thread: see background_threads.h.
#include "ui/background_threads.h"

#include "capture/take_snapshots.h"

namespace mv {

Win32TreePort& NetworkTreePort() {
  static Win32TreePort port(nullptr);
  return port;
}

Win32NoticePort& NetworkNotices() {
  static Win32NoticePort port(nullptr);
  return port;
}

void StartBackgroundThreads(HWND mainWindow) {
  NetworkNotices().SetOwner(mainWindow);
  // Does nothing after the first call.
  StartBackgroundTasks(NetworkTreePort(), NetworkNotices());
}

}  // namespace mv
