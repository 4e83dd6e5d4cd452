// Scheduled captures in the window: the runner started with the main window, what its runs
// change on the screen (the tree, a notification from the tray icon when a run failed), the
// modeless Schedules window (the schedules with their last run and next run, the runs of the
// one selected; New, Edit, Remove, "Run now") and the form that makes or edits a schedule,
// also from the Take Snapshots dialog's ticks ("Save as schedule...").
#pragma once

#include <windows.h>

#include <string>

#include "platform/clock.h"

namespace mv {

// Posted to the main window when the runner has news: a run ended, or a round could not run.
inline constexpr UINT kScheduleRanMessage = WM_APP + 50;

// The schedules file the windows read and change, and the clock of their next-run texts
// (null: the system's). StartScheduleRunsOfWindow sets them from the main window's setup.
void UseSchedulesFile(const std::string& path, Clock* clock);

// At the main window's creation: the runner takes the window's schedules file, clock and
// snapshots folder.
void StartScheduleRunsOfWindow(HWND window);
// The main window's kScheduleRanMessage: the new snapshots in the tree, the selection kept;
// a failed run told through the tray icon (else the status line); the Schedules window
// refreshed.
void OnScheduleRunsMessage(HWND window);

// Creates the window owned by owner, or brings the one open to the front; returns it.
HWND ShowSchedulesWindow(HWND owner);
// The open Schedules window, or null.
HWND OpenSchedulesWindow();

// "Save as schedule..." of the Take Snapshots dialog: the form, filled from the ticks.
void SaveTicksAsSchedule(HWND dialog);

}  // namespace mv
