// The status line: the main window's two-part status bar, and the activity view that
// switches its first part, the Take Snapshots dialog's start/stop buttons and the network
// menu's "Scan Network" and "Stop" with the activity state.
#pragma once

#include <windows.h>

#include <atomic>

#include "capture/activity_state.h"

namespace mv {

inline constexpr int kStatusPartActivity = 0;
inline constexpr int kStatusPartDetails = 1;
// Right edges of the two parts, in pixels; the second reaches past any screen.
inline constexpr int kStatusPartEdges[2] = {250, 11150};

// Creates the status bar (control 50390) along the bottom of parent, with its two parts.
HWND CreateStatusLine(HWND parent);

class StatusLineView final : public ActivityView {
 public:
  // mainWindow owns statusBar and networkMenu; menu changes run on its thread. The buttons
  // are those of the current Take Snapshots dialog (ui/background_threads.h), if one is open.
  StatusLineView(HWND mainWindow, HWND statusBar, HMENU networkMenu)
      : mainWindow_(mainWindow), statusBar_(statusBar), networkMenu_(networkMenu) {}

  void SetStatusText(int part, const std::string& text) override;
  void EnableTakeSnapshotsButton(bool enabled) override;
  void SetCancelButtonCaption(const std::string& caption) override;
  void EnableMenuCommand(int command, bool enabled) override;

  void SetNetworkMenu(HMENU menu) { networkMenu_.store(menu); }

 private:
  HWND mainWindow_;
  HWND statusBar_;
  std::atomic<HMENU> networkMenu_;
};

// The text of one status bar part, as the control holds it.
std::string GetStatusLineText(HWND statusBar, int part);

}  // namespace mv
