// The main window (dialog resource 101): its dialog procedure and what start-up hands it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "capture/schedule_runner.h"
#include "ui/window_settings.h"

namespace mv {

class ShellPort;

// The maker's web pages that the Help menu and the About box open.
struct WebPages {
  std::string webSite;
  std::string supportPage;
  std::string supportEmail;
};

// What the application shell does for the window. Start-up (app/) fills these before the
// window is created, so the window reaches the registry, the tray icon and the web only
// through them; a hook left empty does nothing.
struct AppShellHooks {
  // At creation: asks the first-run question where this is the first run (takeSnapshots
  // runs the Take Snapshots dialog on a Yes) and marks the run as not the first.
  std::function<void(HWND window, std::function<void(HWND owner)> takeSnapshots)> checkFirstRun;
  // At creation: asks the update server on a thread of its own.
  std::function<void(HWND window, const std::string& server, ShellPort& shell)> startUpdateCheck;
  // At creation and after the Settings dialog: the autorun and tray icon settings take effect.
  std::function<void(HWND window, const Settings& settings)> applySettings;
  // With the tray setting on: adds the tray icon again where it is missing (Explorer started
  // anew, or the tray was not ready when it was added). True when the icon is there.
  std::function<bool(HWND window)> showTrayIcon;
  // A notification from the tray icon (a scheduled run that failed); false when the tray
  // shows no icon.
  std::function<bool(HWND window, const std::string& title, const std::string& text)> notify;
};

// The settings (snapshotsDirectory: where snapshot files are written, listed and loaded
// from; autorun; showInTray) are the window's to keep: the Settings dialog changes them,
// and the exit saves them.
struct MainWindowSetup : Settings {
  std::string helpFilePath;    // help.chm beside the executable
  ShellPort* shell = nullptr;  // opens the help file and the maker's web pages
  // Ends the program ("Exit", closing the window, the end of the session); does not return
  // in the program. Tests put something harmless here.
  std::function<void()> exitApplication;
  // The server the update check asks at creation; empty: no check (tests).
  std::string updateServer;
  // Yes to the first-run question: runs the Take Snapshots dialog, owned by the window given,
  // on the prompt's own thread.
  std::function<void(HWND owner)> takeSnapshotsOnFirstRun;
  WebPages webPages;
  AppShellHooks appShell;
  // The schedules file beside config.ini, run while the window lives; empty: none (tests
  // that set none).
  std::string schedulesPath;
  // The schedule runner's clock (null: the system's) and how often it looks; tests move a
  // clock of their own and look often.
  Clock* scheduleClock = nullptr;
  unsigned scheduleLookMilliseconds = kScheduleLookMilliseconds;
  // Whether the capture indexes beside the snapshots are kept up to date in the background
  // (at the start and after new snapshots came); tests that count files set it off.
  bool keepIndexes = true;
};

// Start-up hands the window its setup before creating it.
void SetMainWindowSetup(MainWindowSetup setup);

// The dialog procedure of resource 101. Returns 0 for every message, so the default dialog
// handling runs as well.
INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The main window once created, else null.
HWND GetMainWindow();

// The settings as they stand now (for saving them at exit).
const Settings& CurrentSettings();

// The network menu (first pop-up of menu 107), loaded once when the window is created and
// kept for the process; the Take Snapshots dialog shows it as its tree's context menu.
HMENU GetNetworkMenu();

// The snapshots directory as the setup holds it now. Any thread may ask: a Take Snapshots
// dialog reads it when "Take Snapshots" is pressed, so a changed setting counts from then.
std::string SnapshotsDirectory();
// Changes it (the Settings dialog), under the same lock.
void SetSnapshotsDirectory(std::string directory);

}  // namespace mv
